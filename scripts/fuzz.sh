#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) into build/fuzz and
# runs each one for SECONDS (default 60) from its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/install-deps.sh
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends clang libclang-rt-dev
fi
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DPRAMVIX_FUZZ=ON -DPRAMVIX_TESTS=OFF -DPRAMVIX_BENCH=OFF -DPRAMVIX_AVSPLUS=OFF >/dev/null
cmake --build build/fuzz -j "$(nproc)"
for target in build/fuzz/fuzz/*fuzz; do
  name=$(basename "$target")
  corpus="fuzz/corpus/${name%_fuzz}s"
  work="build/fuzz/corpus-$name"
  mkdir -p "$work"
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=1 "$work" "$corpus" 2>&1 | tail -n 12
done
