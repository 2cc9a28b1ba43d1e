#!/usr/bin/python3
"""Times the desktop program from its start to the first paint of its main
window on Qt's offscreen platform, over several starts (median).

Usage: desktop_start.py LUMETREVISOR > desktop.json
The program reports the monotonic time of its first paint and ends
(LUMETREVISOR_REPORT_FIRST_PAINT); each start gets a fresh settings folder.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

RUNS = 10


def main():
    program = sys.argv[1]
    if not os.access(program, os.X_OK):
        print(json.dumps({"available": False, "reason": f"{program} is not built"}))
        return
    times = []
    for _ in range(RUNS):
        with tempfile.TemporaryDirectory() as home:
            env = dict(os.environ, QT_QPA_PLATFORM="offscreen", LUMETREVISOR_REPORT_FIRST_PAINT="1",
                       HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
            start = time.monotonic_ns()
            out = subprocess.run([program], env=env, capture_output=True, text=True, timeout=60).stdout
            for line in out.splitlines():
                if line.startswith("first-paint-monotonic-ns="):
                    times.append((int(line.split("=", 1)[1]) - start) / 1e6)
    if not times:
        print(json.dumps({"available": False, "reason": "the program reported no first paint"}))
        return
    print(json.dumps({"available": True, "median_ms": statistics.median(times), "min_ms": min(times),
                      "max_ms": max(times), "runs": len(times)}))


if __name__ == "__main__":
    main()
