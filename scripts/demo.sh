#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo: images go to out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release
mkdir -p out
build/release/demo/pramvix_demo out/demo
