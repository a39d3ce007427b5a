#!/usr/bin/env bash
# Builds and runs the threaded tests under ThreadSanitizer and the file, decoding and binding
# tests under AddressSanitizer + UndefinedBehaviorSanitizer, each in its own build folder.
#   usage: scripts/run-sanitizers.sh [tsan|asan]...   (default: both)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
kinds=("$@")
[ ${#kinds[@]} -eq 0 ] && kinds=(tsan asan)
for kind in "${kinds[@]}"; do
  case "$kind" in
    tsan) flags=-fsanitize=thread
          targets=(simulator_tests testbench_shell_tests)
          [ -d "$root/tests/testbench_movepage" ] && targets+=(testbench_movepage_tests)
          export TSAN_OPTIONS="suppressions=$root/tests/tsan.supp halt_on_error=0" ;;
    asan) flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
          targets=(sdk_binding_tests config_file_tests testbench_core_tests config_model_tests common_tests simulator_tests config_page_tests testbench_move_logic_tests)
          export ASAN_OPTIONS=detect_leaks=0 ;;
    *) echo "unknown kind $kind" >&2; exit 2 ;;
  esac
  build="$root/build-$kind"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHALVARD_BUILD_BENCHMARKS=OFF \
    "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=$flags" "-DCMAKE_SHARED_LINKER_FLAGS=$flags" >/dev/null
  cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
  for t in "${targets[@]}"; do
    echo "== $kind: $t"
    "$build/bin/$t"
  done
done
