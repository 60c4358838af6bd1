#!/usr/bin/env bash
# Configures and builds one flavour into build/<flavour>: release (default),
# sanitize (AddressSanitizer + UndefinedBehaviorSanitizer) or thread
# (ThreadSanitizer, with only the concurrency test).
set -euo pipefail
cd "$(dirname "$0")/.."
flavour="${1:-release}"
case "$flavour" in
  release) flags=(-DCMAKE_BUILD_TYPE=Release) ;;
  sanitize) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRAMVIX_SANITIZE=ON) ;;
  thread) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRAMVIX_TSAN=ON -DPRAMVIX_TESTS=OFF -DPRAMVIX_BENCH=OFF) ;;
  *) echo "usage: $0 [release|sanitize|thread]" >&2; exit 2 ;;
esac
cmake -S . -B "build/$flavour" "${flags[@]}" >/dev/null
cmake --build "build/$flavour" -j "$(nproc)"
