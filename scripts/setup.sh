#!/usr/bin/env bash
# Installs every Debian package needed to build, test and run dramolex.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  libspng-dev zlib1g-dev
  libtomlplusplus-dev nlohmann-json3-dev libssl-dev
  xvfb xauth fonts-dejavu-core
  pybind11-dev python3-dev python3-numpy python3-pandas python3-matplotlib python3-distributed python3-pytest python3-scipy
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
