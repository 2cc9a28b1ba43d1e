#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test, builds the tests of the
# threaded parts with ThreadSanitizer and runs them again, then runs every
# fuzz target for 20 s on its seeds (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export LC_ALL=C.UTF-8 TZ=UTC QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
jobs=$(nproc)

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLMV_SANITIZE=ON >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test --output-on-failure -j"$jobs"

cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLMV_TSAN=ON >/dev/null
cmake --build build/tsan -j"$jobs" --target lumetrevisor-cli test_link test_engine test_record test_memory test_sheet
ctest --test-dir build/tsan --output-on-failure -j"$jobs"

bash scripts/fuzz.sh --time 20
