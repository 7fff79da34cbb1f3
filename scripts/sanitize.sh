#!/usr/bin/env bash
# The native unit and command-line tests once more, with Skeld and the tests
# built under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
build=build-asan

cmake --preset sanitize
cmake --build "$build" -j"$jobs"

# Several cases expect Skeld to end with status 1, so a sanitizer report must
# not end it with 1 too: it gets a status of its own, which no case expects.
# The command-line tests read only standard output, so the report itself goes
# to standard error and shows in ctest's output of the failing case.
export ASAN_OPTIONS="detect_leaks=1:exitcode=86:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:exitcode=86${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export LSAN_OPTIONS="exitcode=86${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

ctest --test-dir "$build" -L native -j"$jobs" --no-tests=error --output-on-failure
