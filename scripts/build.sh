#!/usr/bin/env bash
# Configures and builds one flavour: release (default) or sanitize
# (AddressSanitizer + UndefinedBehaviorSanitizer), into build/<flavour>.
set -euo pipefail
cd "$(dirname "$0")/.."
flavour="${1:-release}"
case "$flavour" in
  release) flags=(-DCMAKE_BUILD_TYPE=Release) ;;
  sanitize) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRAMVIX_SANITIZE=ON) ;;
  *) echo "usage: $0 [release|sanitize]" >&2; exit 2 ;;
esac
cmake -S . -B "build/$flavour" "${flags[@]}" >/dev/null
cmake --build "build/$flavour" -j "$(nproc)"
