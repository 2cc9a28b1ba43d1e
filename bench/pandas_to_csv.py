#!/usr/bin/python3
"""pandas to_csv of the record lines of a CSV export, already in memory.

Reads the rows that `lumetrevisor-cli export` wrote (every cell as text,
the header lines left out) and times DataFrame.to_csv of exactly those rows
with the same separator and CR LF line ends. Prints one JSON object.
"""
import json
import os
import sys
import tempfile
import time


def main():
    path = sys.argv[1]
    try:
        import pandas
    except ImportError:
        print(json.dumps({"available": False, "reason": "pandas is not installed (Debian: python3-pandas)"}))
        return
    with open(path, "rb") as f:
        lines = f.read().split(b"\r\n")
    start = next(i for i, line in enumerate(lines) if line.startswith(b"No,"))
    columns = lines[start].decode("ascii", "replace").split(",")
    rows = [line.decode("ascii").split(",") for line in lines[start + 1:] if line]
    frame = pandas.DataFrame(rows, columns=columns, dtype=str)
    best = None
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "pandas.csv")
        for _ in range(3):
            began = time.perf_counter()
            frame.to_csv(out, index=False, lineterminator="\r\n")
            took = time.perf_counter() - began
            best = took if best is None else min(best, took)
    print(json.dumps({"available": True, "version": pandas.__version__, "rows": len(rows), "seconds": best}))


if __name__ == "__main__":
    main()
