#!/usr/bin/env bash
# Installs what is missing, builds the Debian package, builds everything under
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test (the
# package's checks among them) as a user with a lived-in profile, which no
# test may read or change. Then checks that every Debian package the builds
# and tests used is installed by scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/package.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBRIK_SANITIZE=ON -DOMBRIK_BUILD_BENCH=ON
cmake --build build-asan -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
used=$(mktemp -d)
trap 'rm -rf "$used"' EXIT
export OMBRIK_USED_FILES=$used
status=0
# A test that hangs fails after ten minutes instead of holding up the run.
bash tests/support/planted_profile.sh build-package/app/ombrik \
  ctest --test-dir build-asan --output-on-failure --timeout 600 -j "$(nproc)" || status=$?
python3 scripts/check-deps.py --used-files "$used" build-asan build-package || status=1
# The check itself must notice a package dropped from the list.
if python3 scripts/check-deps.py --without libexiv2-dev build-package >/dev/null; then
  echo "check-deps did not notice libexiv2-dev missing from the list" >&2
  status=1
fi
exit $status
