#!/usr/bin/env bash
# Configures and builds one flavour into build/<flavour>: release (default),
# sanitize (AddressSanitizer + UndefinedBehaviorSanitizer), thread
# (ThreadSanitizer, with only the concurrency test) or windows (Pramvix.dll and
# the test suite cross-built with MinGW-w64; ctest runs the tests under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
flavour="${1:-release}"
case "$flavour" in
  release) flags=(-DCMAKE_BUILD_TYPE=Release) ;;
  sanitize) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRAMVIX_SANITIZE=ON) ;;
  thread) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRAMVIX_TSAN=ON -DPRAMVIX_TESTS=OFF -DPRAMVIX_BENCH=OFF) ;;
  windows) flags=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
                  -DPRAMVIX_BENCH=OFF) ;;
  *) echo "usage: $0 [release|sanitize|thread|windows]" >&2; exit 2 ;;
esac
cmake -S . -B "build/$flavour" "${flags[@]}" >/dev/null
cmake --build "build/$flavour" -j "$(nproc)"
