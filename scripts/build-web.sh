#!/usr/bin/env bash
# Builds the browser version into build-web/ (BUILD_DIR=... for another
# folder): index.html with its script, style sheet and module (the
# WebAssembly is inside maclab.js), and maclab-run.js, the runner for node.
# Installs emscripten and node first when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
build=${BUILD_DIR:-build-web}
# emscripten's JavaScript optimiser needs acorn, which Debian keeps here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMACLAB_WERROR=ON \
  -DMACLAB_WINDOW=OFF -DMACLAB_BENCH=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target maclab-run maclab-web
echo "Built $build/index.html and $build/maclab-run.js"
