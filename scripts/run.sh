#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMACLAB_WINDOW=ON -DMACLAB_BENCH=ON
cmake --build build -j"$(nproc)" --target maclab
exec build/maclab
