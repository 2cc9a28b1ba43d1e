#!/usr/bin/env bash
# Builds the program and opens the desktop program on the built-in simulated
# meter (lumetrevisor --demo). On a machine without a display it runs the
# headless demo instead: identifies the meter, monitors it, records five
# samples to a record file with its CSV export, downloads the meter's stored
# readings, and writes PNG screenshots of the main window monitoring the
# simulated meter in English and Japanese.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${LUMETREVISOR_BUILD:-}" ]; then
  bash scripts/setup.sh
  cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLMV_BUILD_TESTS=OFF >/dev/null
  cmake --build build/run -j"$(nproc)"
fi
cli=${LUMETREVISOR_BUILD:-build/run}/src/cli/lumetrevisor-cli
sim=${LUMETREVISOR_BUILD:-build/run}/src/sim/lumetrevisor-sim
gui=${LUMETREVISOR_BUILD:-build/run}/src/gui/lumetrevisor

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${LUMETREVISOR_HEADLESS:-}" ]; then
  exec "$gui" --demo
fi

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
echo; echo "\$ QT_QPA_PLATFORM=offscreen lumetrevisor --screenshots $out"
QT_QPA_PLATFORM=offscreen "$gui" --screenshots "$out" 2>/dev/null
ls "$out"/main-window-*.png
echo; echo "Files are in $out"
