#!/usr/bin/env bash
# Frames per second of the whole command on a 1080p Y4M file, beside ffmpeg's
# delogo filter on the same file and region and beside ffmpeg reading and
# writing the same Y4M with no filter (the I/O work alone). Every command
# reads the file from the page cache and writes Y4M to /dev/null.
#
#   scripts/pipeline-bench.sh [--doc] [--reps N] [--frames N] [--chroma 420|422]
#
# --doc writes the result into docs/performance.md, between its pipeline
# markers. Defaults: 7 runs of each command, taken in turn, on 300 frames of
# 4:2:0. The input (ffmpeg's testsrc2 with a logo drawn on it) and its
# reference picture are made once under build/pipeline-bench/. Needs ffmpeg.
set -euo pipefail
cd "$(dirname "$0")/.."

invocation="scripts/pipeline-bench.sh${*:+ $*}"
doc=false
reps=7
frames=300
chroma=420
while [ $# -gt 0 ]; do
  case "$1" in
    --doc) doc=true ;;
    --reps) reps="$2"; shift ;;
    --frames) frames="$2"; shift ;;
    --chroma) chroma="$2"; shift ;;
    *) echo "usage: $0 [--doc] [--reps N] [--frames N] [--chroma 420|422]" >&2; exit 2 ;;
  esac
  shift
done
case "$chroma" in 420 | 422) ;; *) echo "--chroma takes 420 or 422" >&2; exit 2 ;; esac
command -v ffmpeg >/dev/null || { echo "ffmpeg is needed (apt-get install ffmpeg)" >&2; exit 1; }

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j2 --target pramvix Pramvix >/dev/null
pramvix=build/release/cli/pramvix

# The region of the drawn logo, and a logo of two boxes: a light one and a
# darker one inside it, both see-through.
x=1640 y=60 w=200 h=80
logo="drawbox=x=1660:y=70:w=160:h=60:color=white@0.7:t=fill,drawbox=x=1690:y=85:w=100:h=30:color=black@0.5:t=fill"
data=build/pipeline-bench
input="$data/input-$chroma-$frames.y4m"
mkdir -p "$data"
if [ ! -s "$input" ]; then
  echo "making $input" >&2
  ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v "$frames" -vf "$logo" \
    -pix_fmt "yuv${chroma}p" -f yuv4mpegpipe -y "$input.part"
  mv "$input.part" "$input"
fi
if [ ! -s "$data/logo.png" ]; then
  ffmpeg -nostdin -loglevel error -f lavfi -i color=black:size=1920x1080 -frames:v 1 -vf "$logo" -y "$data/logo.png"
fi

run_pramvix=("$pramvix" -q NoLogo "$input" "$data/logo.png" 0 20 "$x" "$y" "$w" "$h")
run_delogo=(ffmpeg -nostdin -loglevel error -i "$input" -vf "delogo=x=$x:y=$y:w=$w:h=$h" -f yuv4mpegpipe -y /dev/null)
run_copy=(ffmpeg -nostdin -loglevel error -i "$input" -f yuv4mpegpipe -y /dev/null)

# Every command must write the whole stream: as many bytes as ffmpeg writes
# when it passes the file through (the headers may differ by a few bytes).
bytes_pramvix=$("${run_pramvix[@]}" | wc -c)
bytes_copy=$(ffmpeg -nostdin -loglevel error -i "$input" -f yuv4mpegpipe - | wc -c)
if [ $((bytes_pramvix - bytes_copy)) -gt 64 ] || [ $((bytes_copy - bytes_pramvix)) -gt 64 ]; then
  echo "pramvix wrote $bytes_pramvix bytes, ffmpeg $bytes_copy: the runs do not do the same work" >&2
  exit 1
fi

out=build/release/pipeline-run
mkdir -p "$out"
echo "pipeline: $reps runs of each command on $frames frames of $input" >&2
python3 - "$reps" "$frames" "$out/times.json" -- "${run_pramvix[@]}" -- "${run_delogo[@]}" -- "${run_copy[@]}" <<'EOF'
import json, os, resource, subprocess, sys, time

reps, frames, result = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
commands, current = [], None
for word in sys.argv[4:]:
    if word == "--":
        current = []
        commands.append(current)
    else:
        current.append(word)

def cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime

times = [{"wall": [], "cpu": []} for _ in commands]
# One untimed run each puts the input in the page cache; then the commands
# take turns, so that a change of load touches them alike.
for command in commands:
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
for _ in range(reps):
    for command, taken in zip(commands, times):
        before_cpu, before = cpu(), time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        taken["wall"].append(time.perf_counter() - before)
        taken["cpu"].append(cpu() - before_cpu)
json.dump({"frames": frames, "times": times}, open(result, "w"))
EOF

python3 - "$out/times.json" >"$out/table.md" <<'EOF'
import json, statistics, sys
run = json.load(open(sys.argv[1]))
frames = run["frames"]
names = ["`pramvix NoLogo`", "ffmpeg `delogo`", "ffmpeg, no filter"]
fps = [{k: frames / statistics.median(t[k]) for k in ("wall", "cpu")} for t in run["times"]]
print("| Command | fps (wall clock) | fps (CPU time) | CPU time against ffmpeg without a filter |")
print("|---|---:|---:|---:|")
for name, f in zip(names, fps):
    print(f"| {name} | {f['wall']:.0f} | {f['cpu']:.0f} | {fps[2]['cpu'] / f['cpu']:.2f}× |")
EOF

{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') with \`$invocation\`: medians of $reps runs of each command, taken in turn."
  echo
  echo "- CPU: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), $(nproc) logical CPUs; load average (1/5/15 min) at the end: $(cut -d' ' -f1-3 /proc/loadavg | tr ' ' /)"
  echo "- $(ffmpeg -version | head -1 | cut -d' ' -f1-3)"
  echo "- Input: $frames frames of 1920x1080 $chroma Y4M ($(head -c 100 "$input" | head -1 | cut -d' ' -f2-)), in the page cache; region $w x $h at ($x, $y)"
  echo "- \`${run_pramvix[*]} >/dev/null\`"
  echo "- \`${run_delogo[*]}\`"
  echo "- \`${run_copy[*]}\`"
  echo
  cat "$out/table.md"
} >"$out/block.md"

if [ "$doc" = true ]; then
  . scripts/doc_block.sh
  replace_doc_block pipeline "$out/block.md"
fi
cat "$out/block.md"
