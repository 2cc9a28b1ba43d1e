#!/usr/bin/env bash
# Builds the program and runs it on the simulated meter.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLMV_BUILD_TESTS=OFF >/dev/null
cmake --build build/run -j"$(nproc)"
cli=build/run/src/cli/lumetrevisor-cli
echo "== lumetrevisor-cli settings (the defaults of a first start)"
"$cli" settings --file /nonexistent/LX5810appli.ini
