#!/usr/bin/env python3
"""Reads the heavy fixture's export with Python's csv module and compares with the reports reader.

usage: compare_python_csv.py PATH/TO/reports_bench
"""
import csv
import io
import json
import subprocess
import sys
import tempfile
import time


def main():
    bench = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        path = folder + "/export.csv"
        result = subprocess.run(
            [bench, "--export-csv=" + path, "--benchmark_filter=BM_ReadExportBack",
             "--benchmark_format=json"], check=True, capture_output=True, text=True)
        ours = json.loads(result.stdout)["benchmarks"][0]["bytes_per_second"] / 1e6
        with open(path, "rb") as f:
            data = f.read()
    best = float("inf")
    for _ in range(3):
        start = time.perf_counter()
        rows = sum(1 for _ in csv.reader(io.StringIO(data.decode("utf-8"), newline="")))
        best = min(best, time.perf_counter() - start)
    python = len(data) / best / 1e6
    print(f"file: {len(data) / 1e6:.1f} MB, {rows} rows")
    print(f"reports reader: {ours:.1f} MB/s")
    print(f"python csv.reader (decode + parse): {python:.1f} MB/s")
    print(f"ratio: {ours / python:.2f}x")


if __name__ == "__main__":
    main()
