#!/usr/bin/env bash
# Builds everything and runs every test, headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${HALVARD_BUILD_DIR:-$root/build}"
ctest --output-on-failure -j"$(nproc)" --timeout 120
