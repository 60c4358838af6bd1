#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: release by default,
# or the sanitizer build with `scripts/test.sh sanitize`.
set -euo pipefail
cd "$(dirname "$0")/.."
flavour="${1:-release}"
bash scripts/install-deps.sh
bash scripts/build.sh "$flavour"
ctest --test-dir "build/$flavour" --output-on-failure -j "$(nproc)"
