#!/usr/bin/env bash
# Builds everything with warnings as errors and runs all tests, then builds everything
# again with AddressSanitizer and UndefinedBehaviorSanitizer and runs all tests again,
# then runs every fuzz target for 30 seconds. Exits non-zero on the first failure.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh

jobs=${TRIVO_JOBS:-$(nproc)}
# Compiler cache: a second run of the same sources (another clone on the same machine
# included, as paths are taken relative to the checkout) compiles only what changed.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
# No test may hang the run.
test_timeout=300

step() { echo; echo "==> $*"; }

step "Build with all warnings as errors (build-test)"
# No optimisation and no debug information: the quickest build on a 2-core CI machine.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE= "${launcher[@]}" \
  -DTRIVO_WERROR=ON -DTRIVO_BUILD_GUI=ON -DTRIVO_SANITIZE=OFF
cmake --build build-test -j "$jobs"

step "All tests (desktop windows run headless)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure \
  -j "$jobs" --timeout "$test_timeout" --no-tests=error

step "Build with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan)"
# Everything the test suite runs; of the benchmarks only convert_bench, whose project
# generator the kill test of the command line uses. Debug information only as line
# tables (-g1): the reports name files and lines, and the build stays quicker.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS=-g1 "${launcher[@]}" \
  -DTRIVO_WERROR=ON -DTRIVO_BUILD_GUI=ON -DTRIVO_SANITIZE=ON -DTRIVO_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs" --target all convert_bench

step "All tests under the sanitizers (desktop windows run headless)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j "$jobs" \
  --timeout "$test_timeout" --no-tests=error -LE "webengine|interop"
# Tests that bring up Qt WebEngine run Chromium's code (not built with the sanitizers) in
# the test process. That code deletes objects with the size of another type, which the
# new/delete check reports, and keeps allocations until the process ends, which the leak
# check reports: these tests run without the first check and with the leaks of those
# libraries suppressed (tests/gui/webengine_lsan.supp). Every other check stays on.
ASAN_OPTIONS="$ASAN_OPTIONS:new_delete_type_mismatch=0" \
  LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$root/tests/gui/webengine_lsan.supp" \
  QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j "$jobs" \
  --timeout "$test_timeout" --no-tests=error -L webengine

step "Fuzz targets, 30 seconds each (build-fuzz)"
fuzz/run 30

step "All tests passed"
