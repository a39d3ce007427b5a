#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the programs and the tests need. Idempotent: only
# missing packages are installed, and the package lists are refreshed only when something is missing.
#   usage: scripts/install-deps.sh [windows] [screenshots]
#   windows:     mingw-w64 cross compilers and Wine (64-bit, and 32-bit where the i386
#                architecture can be added) for scripts/run-windows-checks.sh
#   screenshots: a virtual display and the tools scripts/screenshots.sh drives it with
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  fonts-dejavu-core
  dpkg-dev file
)
want_wine32=0
for group in "$@"; do
  case "$group" in
    windows) packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64)
             want_wine32=1 ;;
    screenshots) packages+=(xvfb xdotool x11-utils imagemagick) ;;
    *) echo "unknown group $group (windows, screenshots)" >&2; exit 2 ;;
  esac
done

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
# Wine's 32-bit part comes from the i386 architecture, added to the package system on demand.
wine32_missing=0
if [ $want_wine32 -eq 1 ] && ! installed wine32:i386; then
  wine32_missing=1
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386 || echo "Cannot add the i386 architecture" >&2
  fi
fi
[ ${#missing[@]} -eq 0 ] && [ $wine32_missing -eq 0 ] && exit 0

"${sudo_cmd[@]}" apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ $wine32_missing -eq 1 ]; then
  echo "Installing: wine32:i386"
  # Not fatal: without it the Windows checks run the 64-bit build only, and say so.
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends wine32:i386 ||
    echo "Wine's 32-bit part (wine32:i386) cannot be installed on this machine" >&2
fi
