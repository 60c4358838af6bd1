#!/usr/bin/env python3
"""scripts/bench_table.py against runs made up for the purpose: each row's
time from the right clock, and its ratio to the copy of the same size."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "bench_table.py")


def aggregate(name, cpu, real, unit="us"):
    return {"name": name + "_median", "run_name": name, "run_type": "aggregate", "aggregate_name": "median",
            "cpu_time": cpu, "real_time": real, "time_unit": unit}


def rows(run, *flags):
    with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
        json.dump(run, f)
    try:
        out = subprocess.run([sys.executable, TABLE, f.name, *flags], capture_output=True, text=True, check=True).stdout
    finally:
        os.remove(f.name)
    return {line.split("`")[1]: line.split(" | ")[1:] for line in out.splitlines() if line.startswith("| `")}


class BenchTable(unittest.TestCase):
    RUN = {"benchmarks": [
        aggregate("copy/1080p", 100.0, 110.0),
        aggregate("NoLogo/1080p/kernel", 8.0, 9.0),
        # Two threads: twice the CPU time of the wall clock's.
        aggregate("logo/analysis/1080p/process_time/real_time", 300.0, 150.0, "ms"),
    ]}

    def test_cpu_time_but_for_wall_clock_benchmarks(self):
        table = rows(self.RUN)
        self.assertEqual(table["NoLogo/1080p/kernel"], ["8.0", "0.080 |"])
        self.assertEqual(table["logo/analysis/1080p/process_time/real_time"], ["150000.0", "1500.000 |"])

    def test_real_time_for_all_when_asked(self):
        table = rows(self.RUN, "--real-time")
        self.assertEqual(table["copy/1080p"], ["110.0", "1.000 |"])
        self.assertEqual(table["NoLogo/1080p/kernel"], ["9.0", "0.082 |"])


if __name__ == "__main__":
    unittest.main()
