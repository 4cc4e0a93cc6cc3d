#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then builds and runs
# them all once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMACLAB_WERROR=ON -DMACLAB_WINDOW=ON -DMACLAB_BENCH=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMACLAB_WERROR=ON -DMACLAB_SANITIZE=ON -DMACLAB_WINDOW=ON -DMACLAB_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
