#!/usr/bin/env bash
# Builds every test suite with ThreadSanitizer and with AddressSanitizer +
# UndefinedBehaviorSanitizer, each in its own build folder, and runs all of them.
#   usage: scripts/run-sanitizers.sh [tsan|asan]...   (default: both)
#   HALVARD_SANITIZE_TESTS: a ctest -R pattern to run only some suites (e.g. "^simulator")
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
kinds=("$@")
[ ${#kinds[@]} -eq 0 ] && kinds=(tsan asan)
status=0
for kind in "${kinds[@]}"; do
  case "$kind" in
    tsan) flags=-fsanitize=thread
          export TSAN_OPTIONS="suppressions=$root/tests/tsan.supp halt_on_error=1 second_deadlock_stack=1" ;;
    asan) flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
          export ASAN_OPTIONS=detect_leaks=0
          export UBSAN_OPTIONS=print_stacktrace=1 ;;
    *) echo "unknown kind $kind" >&2; exit 2 ;;
  esac
  build="$root/build-$kind"
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHALVARD_BUILD_BENCHMARKS=OFF \
    "${launcher[@]}" "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=$flags" \
    "-DCMAKE_SHARED_LINKER_FLAGS=$flags" >/dev/null
  cmake --build "$build" -j"$(nproc)"
  echo "== $kind"
  (cd "$build" && ctest --output-on-failure -j"$(nproc)" --timeout 300 \
     ${HALVARD_SANITIZE_TESTS:+-R "$HALVARD_SANITIZE_TESTS"}) || status=1
done
exit $status
