#!/usr/bin/env bash
# Builds the window in Release and makes its Debian package:
# build-package/maclab_<version>_<arch>.deb (only the program is built; the
# tests are not).  Install it with
#   sudo apt-get install ./build-package/maclab_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DMACLAB_WINDOW=ON -DMACLAB_BENCH=OFF -DMACLAB_WERROR=ON \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build build-package -j"$(nproc)" --target maclab
(cd build-package && cpack -G DEB)
ls build-package/*.deb
