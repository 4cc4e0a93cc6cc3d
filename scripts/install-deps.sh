#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# skipping those already present.  Uses sudo when not run as root.
#   install-deps.sh        the native program, its window and its tests
#   install-deps.sh web    the browser build and its tests (emscripten, node,
#                          npm, chromium)
set -euo pipefail
# qt6-charts-dev needs libqt6opengl6-dev, which Debian 12 does not pull in:
# without it CMake cannot load Qt Charts' package file.
packages=(g++ make cmake libgtest-dev libbenchmark-dev qt6-base-dev qt6-charts-dev libqt6opengl6-dev
  fonts-dejavu-core time dpkg-dev file)
# The browser's tools count as present when their command is (node or a
# browser may come from elsewhere than a Debian package).
commands=()
if [ "${1:-}" = web ]; then
  packages=(cmake make fonts-liberation)
  commands=(emscripten:emcc nodejs:node npm:npm chromium:chromium)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
for pc in "${commands[@]}"; do
  command -v "${pc#*:}" >/dev/null || missing+=("${pc%%:*}")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
