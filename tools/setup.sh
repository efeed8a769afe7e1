#!/usr/bin/env bash
# Installs what building and testing QUARN needs on Debian 12 (run as root).
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format libgtest-dev libgmock-dev
          libbenchmark-dev qt6-base-dev libqt6svg6-dev libx11-dev
          libpugixml-dev libsimdjson-dev zlib1g-dev libtbb-dev libsqlite3-dev
          python3-dask python3-distributed python3-pandas fonts-liberation xvfb xauth openbox x11-utils libxml2-utils poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
