#!/usr/bin/env bash
# Starts each program under a virtual display against the simulator, walks it through its visible
# controls to a few telling states and saves a PNG of each to docs/screenshots/ (or $1).
# No network needed. The steps are those of scripts/screenshot_driver/screenshot_driver.cpp:
# click, tab, type, key, waitfor, wait, shot. Add a state with one more `state` line below.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/docs/screenshots}")
build=${HALVARD_BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh" screenshots
bash "$root/scripts/build.sh" >/dev/null
driver=$build/screenshot-driver
cmake -S "$root/scripts/screenshot_driver" -B "$driver" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$driver" >/dev/null
mkdir -p "$out"

work=$(mktemp -d)
display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x960x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done

status=0
# state NAME PROGRAM STEPS: start PROGRAM fresh, do STEPS, save NAME.png.
state() {
  local name=$1 program=$2 steps=$3
  local home=$work/home-$name
  mkdir -p -m 700 "$home"
  if env DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$home" XDG_RUNTIME_DIR="$home" \
    QT_LOGGING_RULES="halvard.sdk=false" VELASIM_TIME_SCALE=0 VELASIM_SPOOL_DIR="$home/spool" \
    LD_PRELOAD="$driver/libhalvard_screenshot_driver.so" \
    HALVARD_SHOT_STEPS="$steps; shot $out/$name.png" \
    timeout 90 "$build/bin/$program" >"$work/$name.log" 2>&1; then
    echo "$out/$name.png"
  else
    echo "FAILED: $name" >&2
    cat "$work/$name.log" >&2
    status=1
  fi
}

login="click Connect; waitfor Enter Password; type 1234; key Return"
connect="waitfor [USB1]; click Connect; waitfor Disconnect"

# One line per state. Pages still being built get theirs when they can show a command's result.
state config-login HalvardConfig "click Connect; waitfor Enter Password; type 1234; wait 300"
state config-after-get-config HalvardConfig "$login; waitfor Disconnect; click Get Config.; wait 1500"
state testbench-connected HalvardTest "$connect; tab Move; wait 2500"
state testbench-move-card-move HalvardTest "$connect; tab Move; click Card Move; wait 2500"
# A card in the printer first, for the pages that work on it.
card="$connect; tab Move; click Card Move; wait 500"
state testbench-magnetic-auto-write-read HalvardTest \
  "$card; tab Magnetic; click Auto Write; wait 300; click Auto Read; wait 1500"
state testbench-print-make-print-data HalvardTest "$card; tab Print; click Make Print Data; wait 1500"
state testbench-rf-uid HalvardTest \
  "$card; tab RF; click Move to RF Position; click Power ON; wait 300; click Get UID; wait 1500"
state testbench-barcode-config HalvardTest \
  "$connect; tab Barcode; click Get Version; click Get Config; click Get Image Config; wait 1500"
state testbench-expert HalvardTest "$connect; key Ctrl+Alt+Shift+F10; tab Expert; wait 1500"
state testbench-macro-recording HalvardTest \
  "$connect; key Ctrl+Alt+Shift+F10; tab Macro; click Macro Record Start; wait 300; tab Move; click Card Move; wait 1500"

exit $status
