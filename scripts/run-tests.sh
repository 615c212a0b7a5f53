#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the whole test suite.
#   scripts/run-tests.sh             optimised build with debug information (build/)
#   scripts/run-tests.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer +
#                                    LeakSanitizer build (build-sanitize/)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

dir=build
flags=(-DXB_SANITIZE=OFF -DXB_BUILD_TESTS=ON -DXB_BUILD_BENCH=ON)
if [[ ${1:-} == --sanitize ]]; then
  dir=build-sanitize
  flags=(-DXB_SANITIZE=ON -DXB_BUILD_TESTS=ON -DXB_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

jobs=$(nproc)
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$jobs"
ctest --test-dir "$dir" --output-on-failure -j "$jobs"
