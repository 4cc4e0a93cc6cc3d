#!/usr/bin/env bash
# Builds the screenshot tools if needed and, under a virtual X server of
# 1920 x 1080, takes a picture of the window full screen after a busy run
# (ALOHA, offered traffic 2.0, 400 ticks, the legend shown) on every topology:
# docs/screenshots/<topology>.png, with 12 stations, and on the Star their
# status; 24 stations on the Bus, with their status; the marks of Symbols on
# the Ring; on Wide Space every station's reach, the pointer resting on
# station 0; and both charts of the
# chart pane (ALOHA on Star, 24 nodes, offered traffic 0.5, 6000 ticks, then a
# sweep of 100,000 ticks a point): docs/screenshots/chart-over-time.png and
# chart-sweep.png.
#
#   scripts/screenshots.sh            (build directory: build)
#   BUILD_DIR=build-x scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
ticks=${TICKS:-400}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target maclab-shot maclab-chart-shot -j2
if ! command -v xvfb-run >/dev/null; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get install -y -q --no-install-recommends xvfb xauth
fi
mkdir -p docs/screenshots
# One X server for all pictures; 24-bit colour so every ring keeps its colour.
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
  set -e
  for topology in Bus Star Ring Space "Wide Space"; do
    name=$(echo "$topology" | tr "A-Z " "a-z-")
    case "$topology" in
      Bus) extra="--legend --status --nodes 24" ;;
      Star) extra="--legend --status" ;;
      Ring) extra="--legend --symbols" ;;
      "Wide Space") extra="--legend --reach --point 0" ;;
      *) extra=--legend ;;
    esac
    "$0/maclab-shot" "$topology" "docs/screenshots/$name.png" "$1" $extra
    echo "docs/screenshots/$name.png"
  done
  "$0/maclab-chart-shot" docs/screenshots/chart-over-time.png docs/screenshots/chart-sweep.png
  echo docs/screenshots/chart-over-time.png docs/screenshots/chart-sweep.png
' "$build" "$ticks"
