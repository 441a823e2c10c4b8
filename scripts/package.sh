#!/usr/bin/env bash
# Builds the Debian package ombrik_<version>_amd64.deb into build-package/.
# Installs what is missing first (as root, or with sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${OMBRIK_PACKAGE_BUILD_DIR:-build-package}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DOMBRIK_BUILD_TESTS=OFF -DOMBRIK_BUILD_BENCH=OFF -DOMBRIK_PACKAGE=ON
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB)
ls "$build"/ombrik_*_amd64.deb
