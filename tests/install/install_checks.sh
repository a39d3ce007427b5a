#!/usr/bin/env bash
# Checks of the installed tree and of the packages, run by ctest:
#   install_checks.sh tree     CMAKE BUILD PREFIX       cmake --install into PREFIX, check the layout
#   install_checks.sh start    BUILD PREFIX PROGRAM     the installed program starts offscreen and
#                                                       binds the installed simulator
#   install_checks.sh packages CPACK BUILD OUT PREFIX   cpack's .deb and .tar.gz hold the same tree
# Exit 77 (skipped) only when the build folder has no install script at all.
set -euo pipefail

# What a user relies on after an install, relative to the prefix.
expected=(
  bin/HalvardConfig
  bin/HalvardTest
  bin/velasim
  lib/halvard/HalvardConfig
  lib/halvard/HalvardTest
  lib/halvard/libVelaComm.so
  lib/halvard/HalvardConfig.ini
  lib/halvard/KestraConfig.ini
  lib/halvard/bkgnd.bmp
  share/halvard/samples/sample_ymcko.vdn
  share/halvard/samples/sample_rewritable.vdn
  share/halvard/samples/id_card.vdn
  share/halvard/samples/two_cards.vdn
  share/halvard/samples/portrait.png
  share/doc/halvard/README.md
  share/doc/halvard/simulator.md
  share/doc/halvard/windows.md
  share/applications/halvard-config.desktop
  share/applications/halvard-test.desktop
)

fail() { echo "FAIL: $*" >&2; exit 1; }

# Sorted list of files and links below a folder, relative to it.
tree_list() { (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort); }

check_tree() {
  local cmake=$1 build=$2 prefix=$3
  [ -f "$build/cmake_install.cmake" ] || { echo "no install script in $build: skipped"; exit 77; }
  rm -rf "$prefix"
  "$cmake" --install "$build" --prefix "$prefix" >/dev/null
  for f in "${expected[@]}"; do
    [ -e "$prefix/$f" ] || fail "missing after install: $f"
  done
  for p in HalvardConfig HalvardTest; do
    [ -L "$prefix/bin/$p" ] || fail "bin/$p is not a link"
    [ "$(readlink "$prefix/bin/$p")" = "../lib/halvard/$p" ] || fail "bin/$p points elsewhere"
    [ -x "$prefix/lib/halvard/$p" ] || fail "lib/halvard/$p is not executable"
  done
  # The installed programs must not look for libraries in the build folder.
  for f in "$prefix"/lib/halvard/HalvardConfig "$prefix"/lib/halvard/HalvardTest \
    "$prefix"/lib/halvard/libVelaComm.so; do
    if readelf -d "$f" | grep -E 'RPATH|RUNPATH' | grep -F "$build" >&2; then
      fail "$f searches the build folder"
    fi
  done
  echo "installed tree: $(tree_list "$prefix" | wc -l) files"
}

check_start() {
  local build=$1 prefix=$2 program=$3
  local log maps ok=0
  # Globals: the exit trap still needs them after this function has returned.
  work=$(mktemp -d)
  log=$work/stderr
  # Started as a user would, through the link in bin/, with a private home and no help from the
  # environment in finding libraries.
  env -u LD_LIBRARY_PATH HOME="$work" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen \
    VELASIM_TIME_SCALE=0 VELASIM_SPOOL_DIR="$work/spool" \
    "$prefix/bin/$program" 2>"$log" >/dev/null &
  pid=$!
  trap 'kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true; rm -rf "$work"' EXIT
  for _ in $(seq 100); do
    if [ "$(grep -c 'dll func .* pointer : ' "$log")" -ge 252 ]; then ok=1; break; fi
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  [ $ok -eq 1 ] || { cat "$log" >&2; fail "$program wrote no 252 binding lines"; }
  if grep 'dll func ' "$log" | grep -q ' 00000000$'; then
    grep ' 00000000$' "$log" >&2
    fail "$program left exports unbound"
  fi
  maps=$(cat "/proc/$pid/maps")
  grep -qF "$prefix/lib/halvard/libVelaComm.so" <<<"$maps" ||
    fail "$program did not map the installed simulator"
  if grep -F "$build/" <<<"$maps" | grep -vF "$prefix/" >&2; then
    fail "$program mapped files of the build folder"
  fi
  # Still running a moment later: the start-up refresh against the simulator went through.
  sleep 1
  kill -0 $pid 2>/dev/null || { cat "$log" >&2; fail "$program ended during start-up"; }
  echo "$program started from $prefix and bound its simulator"
}

check_packages() {
  local cpack=$1 build=$2 out=$3 prefix=$4
  rm -rf "$out"
  mkdir -p "$out"
  (cd "$build" && "$cpack" -G "DEB;TGZ" -B "$out" >"$out/cpack.log" 2>&1) ||
    { cat "$out/cpack.log" >&2; fail "cpack failed"; }
  local deb tgz
  deb=$(ls "$out"/*.deb)
  tgz=$(ls "$out"/*.tar.gz)
  mkdir -p "$out/deb" "$out/tgz"
  dpkg-deb -x "$deb" "$out/deb"
  tar -xzf "$tgz" -C "$out/tgz"
  local tgz_root
  tgz_root=$(find "$out/tgz" -mindepth 1 -maxdepth 1 -type d)
  local installed
  installed=$(tree_list "$prefix")
  diff <(echo "$installed") <(tree_list "$out/deb/usr") >&2 || fail ".deb holds another tree than the install"
  diff <(echo "$installed") <(tree_list "$tgz_root") >&2 || fail ".tar.gz holds another tree than the install"
  # Only /usr, nothing outside it.
  [ "$(ls "$out/deb")" = usr ] || fail ".deb installs outside /usr: $(ls "$out/deb")"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  local names
  names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
  for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 qt6-qpa-plugins libstdc++6; do
    grep -qxF "$dep" <<<"$names" || fail ".deb does not depend on $dep: $depends"
  done
  [ "$(dpkg-deb -f "$deb" Package)" = halvard ] || fail "package name"
  echo "$(basename "$deb"): $(echo "$installed" | wc -l) files; Depends: $depends"
  echo "$(basename "$tgz")"
}

case "${1:-}" in
  tree) shift; check_tree "$@" ;;
  start) shift; check_start "$@" ;;
  packages) shift; check_packages "$@" ;;
  *) echo "usage: $0 tree|start|packages ..." >&2; exit 2 ;;
esac
