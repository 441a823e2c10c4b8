#!/usr/bin/env bash
# Installs what is missing, builds the Debian package, builds everything under
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test (the
# package's checks among them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/package.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBRIK_SANITIZE=ON -DOMBRIK_BUILD_BENCH=ON
cmake --build build-asan -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# A test that hangs fails after ten minutes instead of holding up the run.
ctest --test-dir build-asan --output-on-failure --timeout 600 -j "$(nproc)"
