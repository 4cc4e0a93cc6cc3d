#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# skipping those already present.  Uses sudo when not run as root.
set -euo pipefail
# qt6-charts-dev needs libqt6opengl6-dev, which Debian 12 does not pull in:
# without it CMake cannot load Qt Charts' package file.
packages=(g++ make cmake libgtest-dev libbenchmark-dev qt6-base-dev qt6-charts-dev libqt6opengl6-dev
  fonts-dejavu-core time)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
