#!/usr/bin/env bash
# Builds the program and runs it on the built-in simulated meter: identifies
# the meter, monitors it, records five samples to a record file with its CSV
# export, and downloads the meter's stored readings.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${LUMETREVISOR_BUILD:-}" ]; then
  bash scripts/setup.sh
  cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLMV_BUILD_TESTS=OFF >/dev/null
  cmake --build build/run -j"$(nproc)"
fi
cli=${LUMETREVISOR_BUILD:-build/run}/src/cli/lumetrevisor-cli
sim=${LUMETREVISOR_BUILD:-build/run}/src/sim/lumetrevisor-sim

out=${LUMETREVISOR_DEMO_DIR:-$(mktemp -d /tmp/lumetrevisor-demo.XXXXXX)}
mkdir -p "$out"
port="$out/meter"
"$sim" --link "$port" --source sine:800:400:20 --memory 1-12 > "$out/sim.log" 2>&1 &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$port" ] && break; sleep 0.1; done

settings="$out/LX5810appli.ini"
run() { echo; echo "\$ lumetrevisor-cli $*"; "$cli" "$@"; }
run identify --port "$port"
run monitor --port "$port" --count 5
run record --port "$port" --settings "$settings" --count 5 --interval 0:0:1 --out "$out/run.lxrd" --csv "$out/run.csv"
run export "$out/run.lxrd" --settings "$settings" --csv "$out/export.csv"
echo; echo "== $out/export.csv"; cat "$out/export.csv"
run memory --port "$port" --settings "$settings" --csv "$out/memory.csv" --overwrite
echo; echo "== $out/memory.csv"; cat "$out/memory.csv"
echo; echo "Files are in $out"
