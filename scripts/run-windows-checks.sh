#!/usr/bin/env bash
# Builds the SDK binding and its tests for Windows with mingw-w64, 32-bit (i686, __stdcall exports,
# as the SDK library is called) and 64-bit (x86_64), and runs the tests under Wine, headless.
# Installs what it needs (only what is missing) and may be run again at any time.
#   usage: scripts/run-windows-checks.sh [i686|x86_64]...   (default: both)
#   build folders: build-windows/<arch> (or $HALVARD_WINDOWS_BUILD_DIR/<arch>), Wine prefix
#   build-windows/wineprefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${HALVARD_WINDOWS_BUILD_DIR:-$root/build-windows}
archs=("$@")
[ ${#archs[@]} -eq 0 ] && archs=(i686 x86_64)

bash "$root/scripts/install-deps.sh" windows

# 32-bit programs need Wine's 32-bit part, which needs the i386 architecture in the package
# system; install-deps.sh adds it where it can. Without it only the 64-bit build runs.
wine32_ok=1
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed' || wine32_ok=0

export WINEPREFIX=$out/wineprefix
export WINEDEBUG=-all
# No Mono or Gecko installer prompts, no menu entries: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
# Every Wine process (server, services) is started with closed standard streams, so none keeps a
# caller's pipe open; the server stays up for the whole run (each test starts in a tenth of a
# second then) and is ended with this script.
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
wineserver -p </dev/null >/dev/null 2>&1
wineboot </dev/null >"$out/wineboot.log" 2>&1

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

ran=()
status=0
for arch in "${archs[@]}"; do
  case "$arch" in
    i686 | x86_64) ;;
    *) echo "unknown architecture $arch (i686 or x86_64)" >&2; exit 2 ;;
  esac
  if [ "$arch" = i686 ] && [ $wine32_ok -eq 0 ]; then
    echo "== Windows $arch: skipped, Wine's 32-bit part (wine32:i386) is not installed on this machine" >&2
    continue
  fi
  toolchain=$root/cmake/mingw-w64-$arch.cmake
  build=$out/$arch

  # GoogleTest for this target, built once from Debian's source package.
  gtest=$build/gtest
  if [ ! -f "$gtest/prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$gtest/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$gtest/prefix" \
      -DBUILD_GMOCK=OFF "${launcher[@]}" >/dev/null
    cmake --build "$gtest/build" -j"$(nproc)" >/dev/null
    cmake --install "$gtest/build" >/dev/null
  fi

  cmake -S "$root" -B "$build/project" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DHALVARD_BUILD_GUI=OFF \
    -DGTest_DIR="$gtest/prefix/lib/cmake/GTest" "${launcher[@]}" >/dev/null
  cmake --build "$build/project" -j"$(nproc)"
  echo "== Windows $arch under $(wine --version)"
  (cd "$build/project" && ctest --output-on-failure --timeout 120) || status=1
  ran+=("$arch")
done

# ctest's own summary stays the last line of a run; only a run that tested nothing says more.
[ ${#ran[@]} -gt 0 ] || { echo "Windows checks: no architecture could be tested" >&2; status=1; }
exit $status
