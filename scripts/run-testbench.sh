#!/usr/bin/env bash
# Builds everything and starts HalvardTest against the built-in printer simulator.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
exec "${HALVARD_BUILD_DIR:-$root/build}/bin/HalvardTest" "$@"
