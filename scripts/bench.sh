#!/usr/bin/env bash
# Builds the release flavour, runs pramvix_bench with repetitions and prints
# the machine, the scenes and the table of median times and ratios to the
# frame copy of the same size.
#
#   scripts/bench.sh [--doc] [--reps N] [--min-time SECONDS] [benchmark flags…]
#
# --doc writes the same into docs/performance.md, between its bench markers.
# Defaults: 20 repetitions of at least 0.1 s each. Other flags go to the
# binary, e.g. --benchmark_filter=1080p. PRAMVIX_SIMD (scalar, sse2, avx2, avx512)
# narrows the instruction set of the filters and of the plain /kernel entries.
set -euo pipefail
cd "$(dirname "$0")/.."

invocation="scripts/bench.sh${*:+ $*}"
doc=false
reps=20
min_time=0.1
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --doc) doc=true ;;
    --reps) reps="$2"; shift ;;
    --min-time) min_time="$2"; shift ;;
    *) extra+=("$1") ;;
  esac
  shift
done

bash scripts/build.sh release >/dev/null
out=build/release/bench-run
mkdir -p "$out"
echo "pramvix_bench: $reps repetitions of at least $min_time s each (console output in $out/console.txt)" >&2
if ! build/release/bench/pramvix_bench --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
    --benchmark_min_time="$min_time" --benchmark_out="$out/run.json" --benchmark_out_format=json \
    "${extra[@]}" >"$out/console.txt" 2>"$out/stderr.txt"; then
  cat "$out/stderr.txt" >&2
  exit 1
fi

cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/release/CMakeCache.txt)
flags=$(sed -n 's/^CXX_FLAGS = //p' build/release/src/CMakeFiles/pramvix_core.dir/flags.make)
# Clock and load from the run; the instruction sets from its /kernel/<set> names.
read -r mhz load sets < <(python3 -c '
import json, sys
run = json.load(open(sys.argv[1]))
c = run["context"]
sets = []
for b in run["benchmarks"]:
    name = b.get("run_name", b["name"])
    if "/kernel/" in name and name.split("/")[-1] not in sets:
        sets.append(name.split("/")[-1])
print(c["mhz_per_cpu"], "/".join(f"{x:.2f}" for x in c["load_avg"]), ",".join(sets) or "none")
' "$out/run.json")

{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') with \`$invocation\`: $reps repetitions of at least $min_time s each."
  echo
  echo "- CPU: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), $(nproc) logical CPUs at $mhz MHz; load average (1/5/15 min) at the start: $load"
  echo "- Compiler: $(readlink -f "$cxx"), $("$cxx" --version | head -1); flags \`$flags\`"
  echo "- Kernels built for: ${sets//,/, }; the filters and the plain \`/kernel\` entries use ${PRAMVIX_SIMD:-the widest of them}"
  echo
  echo "Scenes, as the run measured them:"
  echo
  sed -n 's/^scene /- /p' "$out/stderr.txt"
  echo
  python3 scripts/bench_table.py "$out/run.json"
} >"$out/block.md"

if [ "$doc" = true ]; then
  . scripts/doc_block.sh
  replace_doc_block bench "$out/block.md"
fi
cat "$out/block.md"
