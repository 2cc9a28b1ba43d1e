#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test, then runs every fuzz target
# for 20 s on its seeds (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export LC_ALL=C.UTF-8 TZ=UTC QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLMV_SANITIZE=ON >/dev/null
cmake --build build/test -j"$(nproc)"
ctest --test-dir build/test --output-on-failure -j"$(nproc)"
bash scripts/fuzz.sh --time 20
