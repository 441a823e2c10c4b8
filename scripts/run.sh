#!/usr/bin/env bash
# Installs what is missing, builds the editor (Release) and starts it on the
# given photo, or on the bundled sample photo when none is given.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBRIK_BUILD_TESTS=OFF -DOMBRIK_BUILD_BENCH=OFF
cmake --build build-release -j "$(nproc)"
photo="${1:-$root/resources/photos/coffee.png}"
exec "$root/build-release/app/ombrik" "$photo"
