#!/usr/bin/env bash
# Records the pinned effect outputs again (tests/data/pinned_outputs.txt) after
# a deliberate change to an effect's arithmetic, lists the outputs whose digest
# changed, and writes every output as PNG contact sheets to look at before the
# new references are committed:
#     bash scripts/pin-outputs.sh [sheet folder]
# A normal test run never records; it fails on any difference.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRIK_PIN_BUILD:-$root/build}
sheets=${1:-$(mktemp -d)}
mkdir -p "$sheets"

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBRIK_SANITIZE=OFF -DOMBRIK_BUILD_BENCH=OFF >/dev/null
fi
nice -n 5 cmake --build "$build" --target pinned_tests -- -j2 >/dev/null
QT_QPA_PLATFORM=offscreen OMBRIK_PIN_OUTPUTS=record OMBRIK_PIN_SHEETS="$sheets" \
    "$build/tests/pinned_tests" --gtest_brief=1 | grep -E '^(new|changed|dropped):' || echo "no output changed"
echo "contact sheets: $sheets (index.txt names every cell)"
