#!/usr/bin/env bash
# The unplug soak (tests/soak): a recording at the fast interval while the
# simulated meter is pulled and plugged in again CYCLES times (default 100),
# each outage of a random length up to 5 s, in the sanitized test build.
# The test command runs the same test with 10 cycles.
#
#   scripts/soak.sh [CYCLES] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export LC_ALL=C.UTF-8 TZ=UTC QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLMV_SANITIZE=ON >/dev/null
cmake --build build/test --target test_soak
export LMV_SOAK_CYCLES="${1:-100}"
[ $# -ge 2 ] && export LMV_SOAK_SEED="$2"
exec build/test/tests/test_soak
