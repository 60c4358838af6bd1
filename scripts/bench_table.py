#!/usr/bin/env python3
"""Prints the Markdown table of a pramvix_bench run.

Reads the JSON of `pramvix_bench --benchmark_format=json
--benchmark_repetitions=N` (with or without
--benchmark_report_aggregates_only=true) from a file or standard input, and
prints one row per benchmark, in the run's order: its median time in
microseconds and that time as a multiple of the frame copy of the same size
(copy/1080p or copy/576p) from the same run.
"""
import argparse
import json
import statistics
import sys

TO_MICROSECONDS = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}


def medians(benchmarks, clock):
    """Median time in µs of each benchmark, in the order of the run.

    Takes the run's own median where it reported one, and otherwise the
    median of the repetitions; `clock` (cpu_time or real_time) for all but
    those timed by the wall clock."""
    repetitions, reported, order = {}, {}, []
    for entry in benchmarks:
        if "error_occurred" in entry and entry["error_occurred"]:
            sys.exit(f"{entry['name']}: {entry.get('error_message', 'failed')}")
        name = entry.get("run_name", entry["name"])
        if name not in repetitions:
            repetitions[name] = []
            order.append(name)
        # A benchmark timed by the wall clock (UseRealTime, its name ending
        # in /real_time) is shown in that time: its CPU time is all threads'.
        own = "real_time" if name.endswith("/real_time") else clock
        time = entry[own] * TO_MICROSECONDS[entry.get("time_unit", "ns")]
        if entry.get("run_type") == "aggregate":
            if entry.get("aggregate_name") == "median":
                reported[name] = time
        else:
            repetitions[name].append(time)
    result = {}
    for name in order:
        if name in reported:
            result[name] = reported[name]
        elif repetitions[name]:
            result[name] = statistics.median(repetitions[name])
    return result


def baseline_of(name):
    """copy/<size> for a name such as NoLogo/1080p/kernel."""
    for part in name.split("/")[1:]:
        if part.endswith("p") and part[:-1].isdigit():
            return "copy/" + part
    return None


def table(times):
    lines = ["| Benchmark | Median (µs) | × copy |", "|---|---:|---:|"]
    for name, time in times.items():
        baseline = times.get(baseline_of(name) or "")
        ratio = f"{time / baseline:.3f}" if baseline else "–"
        lines.append(f"| `{name}` | {time:.1f} | {ratio} |")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("json", nargs="?", help="the run's JSON (default: standard input)")
    parser.add_argument("--real-time", action="store_true",
                        help="use wall-clock time instead of the process's CPU time")
    args = parser.parse_args()
    with (open(args.json, encoding="utf-8") if args.json else sys.stdin) as source:
        run = json.load(source)
    times = medians(run["benchmarks"], "real_time" if args.real_time else "cpu_time")
    if not times:
        sys.exit("no benchmarks in the input")
    print(table(times))


if __name__ == "__main__":
    main()
