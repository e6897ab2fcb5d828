#!/usr/bin/env bash
# Builds Jangora with everything its tests need and runs every test, then builds it again
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs the tests once more: any
# report of theirs fails the run.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh --tests
ctest --test-dir build --output-on-failure -j2

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJANGORA_SANITIZE=ON \
    >/dev/null
cmake --build build-sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:disable_coredump=1
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-sanitize --output-on-failure -j2
