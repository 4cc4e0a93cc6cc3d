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
# The browser version: the runner for node against the native one, and the
# page in headless chromium (puppeteer-core from the lock file, which uses the
# system's chromium and downloads no browser).
scripts/build-web.sh
(cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error && npm test)
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMACLAB_WERROR=ON -DMACLAB_SANITIZE=ON -DMACLAB_WINDOW=ON -DMACLAB_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
