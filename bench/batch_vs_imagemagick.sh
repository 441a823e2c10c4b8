#!/usr/bin/env bash
# ombrik-cli's batch mode side by side with ImageMagick on the same files:
#   1. 24 JPEGs of 1600 x 1200 through Emboss into a folder
#      (ombrik-cli --output-dir against mogrify -emboss);
#   2. one 1600 x 1200 BMP in, BMP out, no effect (ombrik-cli IN OUT against convert).
# The two programs run alternately, REPEAT times each; medians and their
# ratios are printed. Usage: bench/batch_vs_imagemagick.sh [BUILD_DIR] [REPEAT]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-rel}
repeat=${2:-7}
cli=$build/app/ombrik-cli
[[ -x $cli ]] || { echo "no $cli: build the Release tree first (cmake --build $build --target ombrik-cli)" >&2; exit 1; }
command -v mogrify >/dev/null && command -v convert >/dev/null || { echo "ImageMagick is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in"
photos=("$root"/resources/photos/*.png)
for i in $(seq 1 24); do
  src=${photos[$(( (i - 1) % ${#photos[@]} ))]}
  # Each file different: a turn and a crop of the sample at the bench size.
  convert "$src" -rotate $(( i * 15 )) -resize 1600x1200^ -gravity center -extent 1600x1200 -quality 90 \
    "$work/in/photo $i.jpg"
done
convert "${photos[0]}" -resize '1600x1200!' "$work/one.bmp"

now() { date +%s%N; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

ours_folder=() ; theirs_folder=() ; ours_one=() ; theirs_one=()
for r in $(seq 1 "$repeat"); do
  rm -rf "$work/o1" "$work/o2"; mkdir -p "$work/o2"
  t=$(now); "$cli" --output-dir "$work/o1" -e Emboss "$work/in" 2>/dev/null; ours_folder+=($(( ($(now) - t) / 1000000 )))
  t=$(now); mogrify -path "$work/o2" -emboss 1 "$work"/in/*.jpg; theirs_folder+=($(( ($(now) - t) / 1000000 )))
  # Both write a new file (replacing an existing one, ombrik-cli first flushes the new bytes to the disk).
  rm -f "$work/o-ours.bmp" "$work/o-theirs.bmp"
  t=$(now); "$cli" "$work/one.bmp" "$work/o-ours.bmp" 2>/dev/null; ours_one+=($(( ($(now) - t) / 1000000 )))
  t=$(now); convert "$work/one.bmp" "$work/o-theirs.bmp"; theirs_one+=($(( ($(now) - t) / 1000000 )))
done
[[ $(ls "$work/o1" | wc -l) == 24 ]] || { echo "ombrik-cli did not write 24 photos" >&2; exit 1; }

of=$(printf '%s\n' "${ours_folder[@]}" | median); tf=$(printf '%s\n' "${theirs_folder[@]}" | median)
oo=$(printf '%s\n' "${ours_one[@]}" | median); to=$(printf '%s\n' "${theirs_one[@]}" | median)
echo "medians of $repeat runs on $(nproc) cores (load average $(cut -d' ' -f1 /proc/loadavg)):"
printf '  24 JPEGs through Emboss:  ombrik-cli %6s ms   mogrify -emboss %6s ms   ratio %.2f (target <= 0.25)\n' \
  "$of" "$tf" "$(awk -v a="$of" -v b="$tf" 'BEGIN {print a / b}')"
printf '  one BMP in, BMP out:      ombrik-cli %6s ms   convert         %6s ms   ratio %.2f (target <= 1)\n' \
  "$oo" "$to" "$(awk -v a="$oo" -v b="$to" 'BEGIN {print a / b}')"
