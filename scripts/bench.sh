#!/usr/bin/env bash
# Builds the release benchmarks, runs them from 10,000 to 1,048,576 samples,
# compares the CSV export with pandas, prints the results table and draws the
# cost picture. Results go to docs/bench (or the folder given as $1); the
# release build is build/release (or $LMV_BENCH_BUILD). With the default
# folder the README's results table is replaced by the new one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
out=$(realpath -m "${1:-docs/bench}")
mkdir -p "$out"
export LC_ALL=C.UTF-8 TZ=UTC
build=${LMV_BENCH_BUILD:-build/release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLMV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target lumetrevisor-bench lumetrevisor-cli lumetrevisor
files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
LMV_BENCH_DIR="$files" "$build/bench/lumetrevisor-bench" \
  --benchmark_out="$out/bench.json" --benchmark_out_format=json
/usr/bin/python3 bench/pandas_to_csv.py "$files/cli-1048576.csv" >"$out/pandas.json"
/usr/bin/python3 bench/desktop_start.py "$build/src/gui/lumetrevisor" >"$out/desktop.json"
readme=()
[ "$out" = "$(realpath -m docs/bench)" ] && readme=(README.md)  # the README carries the latest table
/usr/bin/python3 bench/report.py "$out/bench.json" "$out/pandas.json" "$out" "${readme[@]}"
(cd "$out" && gnuplot cost.gp)
echo "bench: table in $out/results.md, picture in $out/cost.png"
