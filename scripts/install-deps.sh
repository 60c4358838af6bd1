#!/usr/bin/env bash
# Installs what building and testing Pramvix needs on Debian (run as root or
# with sudo). Skips the package manager when everything is already there.
# `install-deps.sh windows` installs what the Windows cross build needs
# instead: MinGW-w64, GoogleTest's sources and Wine.
set -euo pipefail
if [ "${1:-}" = windows ]; then
  packages=(cmake make pkg-config g++-mingw-w64-x86-64-posix googletest wine wine64)
else
  packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libpng-dev ffmpeg)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
