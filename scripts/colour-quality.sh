#!/usr/bin/env bash
# Builds the release flavour and measures NoLogo against NoLogoColor on
# full-size synthetic recordings: writes docs/colour-restoration.md (the
# figures) and docs/colour-before-after.png (the logo region before and after).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh release >/dev/null
build/release/quality/pramvix_colour_report docs
echo "docs/colour-restoration.md and docs/colour-before-after.png written" >&2
