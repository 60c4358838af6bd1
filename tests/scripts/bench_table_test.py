#!/usr/bin/env python3
"""scripts/bench_table.py against runs made up for the purpose: each row's
time from the right clock, and its ratio to the copy of the same size."""
import os
import sys
import unittest

sys.dont_write_bytecode = True  # no cache beside the script in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import bench_table  # noqa: E402


def aggregate(name, cpu, real, unit="us"):
    return {"name": name + "_median", "run_name": name, "run_type": "aggregate", "aggregate_name": "median",
            "cpu_time": cpu, "real_time": real, "time_unit": unit}


def rows(clock):
    """The table's rows as {name: [median, ratio]}."""
    lines = bench_table.table(bench_table.medians(RUN, clock)).splitlines()[2:]
    return {line.split("`")[1]: [cell.strip() for cell in line.strip("|").split("|")[1:]] for line in lines}


RUN = [
    aggregate("copy/1080p", 100.0, 110.0),
    aggregate("NoLogo/1080p/kernel", 8.0, 9.0),
    # Two threads: twice the CPU time of the wall clock's.
    aggregate("logo/analysis/1080p/process_time/real_time", 300.0, 150.0, "ms"),
]


class BenchTable(unittest.TestCase):
    def test_cpu_time_but_for_wall_clock_benchmarks(self):
        table = rows("cpu_time")
        self.assertEqual(table["NoLogo/1080p/kernel"], ["8.0", "0.080"])
        self.assertEqual(table["logo/analysis/1080p/process_time/real_time"], ["150000.0", "1500.000"])

    def test_real_time_for_all_when_asked(self):
        table = rows("real_time")
        self.assertEqual(table["copy/1080p"], ["110.0", "1.000"])
        self.assertEqual(table["NoLogo/1080p/kernel"], ["9.0", "0.082"])


if __name__ == "__main__":
    unittest.main()
