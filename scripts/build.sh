#!/usr/bin/env bash
# Configures (once) and builds the whole project into build/ (or $HALVARD_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
build=${HALVARD_BUILD_DIR:-$root/build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${HALVARD_BUILD_TYPE:-Release} ${HALVARD_CMAKE_ARGS:-}
fi
cmake --build "$build" -j"$(nproc)"
