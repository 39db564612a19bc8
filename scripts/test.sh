#!/usr/bin/env bash
# Builds everything with warnings as errors and runs all tests, then builds the core
# and the command line with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# their tests again. Exits non-zero on the first failure.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh

jobs=${TRIVO_JOBS:-$(nproc)}
# No test may hang the run.
test_timeout=300

step() { echo; echo "==> $*"; }

step "Build with all warnings as errors (build-test)"
# No optimisation and no debug information: the quickest build on a 2-core CI machine.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE= \
  -DTRIVO_WERROR=ON -DTRIVO_BUILD_GUI=ON -DTRIVO_SANITIZE=OFF
cmake --build build-test -j "$jobs"

step "All tests (desktop windows run headless)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure \
  -j "$jobs" --timeout "$test_timeout" --no-tests=error

step "Build with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DTRIVO_WERROR=ON -DTRIVO_BUILD_GUI=OFF -DTRIVO_SANITIZE=ON
# Only what the sanitizer run tests; of the benchmarks only convert_bench, whose project
# generator the kill test of the command line uses.
cmake --build build-asan -j "$jobs" --target trivo_core_tests trivo convert_bench

step "Core and command-line tests under the sanitizers"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout "$test_timeout" --no-tests=error \
  -L 'core|cli'

step "All tests passed"
