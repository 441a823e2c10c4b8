#!/usr/bin/env bash
# Mutation check of the effects' arithmetic. Each line of the list (default:
# mutations.txt beside this script) names a source file, a piece of text that
# occurs exactly once in it and its replacement, usually one constant,
# operator or sign:
#     file @@ original text @@ replacement [@@ gtest filter]
# For each line the file is changed, the test program of the file's folder is
# rebuilt in a plain Debug build (no sanitizers) and run, and the file is put
# back. A change some test fails on is caught; one every test passes with
# survived. Run by hand, not in CI:
#     bash scripts/mutate.sh [--check] [list] [grep pattern choosing lines]
# --check only verifies that every original text is found exactly once.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
check=0
if [ "${1:-}" = "--check" ]; then
    check=1
    shift
fi
list=${1:-$root/scripts/mutations.txt}
pattern=${2:-}
build=${OMBRIK_MUTATION_BUILD:-$root/build-mut}
per_test_timeout=${OMBRIK_MUTATION_TIMEOUT:-300}

# One text replacement that must match exactly once; exit 2 otherwise.
replace_once() {
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, old, new = sys.argv[1:]
text = open(path, encoding="utf-8").read()
n = text.count(old)
if n != 1:
    print(f"{path}: {n} matches for {old!r}", file=sys.stderr)
    sys.exit(2)
open(path, "w", encoding="utf-8").write(text.replace(old, new))
EOF
}

target_of() {
    case "$1" in
        engine/*|effects/*) echo engine_tests ;;
        artistic/*) echo artistic_tests ;;
        light/*) echo light_tests ;;
        canvas/*) echo canvas_tests ;;
        app/*) echo app_tests ;;
        *) echo "" ;;
    esac
}

# The degenerate-size sweep checks safety, not arithmetic, and takes most of
# the engine run.
default_filter() {
    case "$1" in
        engine_tests) echo "-CatalogueSweep.*" ;;
        *) echo "*" ;;
    esac
}

trim() { local s=$1; s=${s#"${s%%[![:space:]]*}"}; s=${s%"${s##*[![:space:]]}"}; printf '%s' "$s"; }

backup=$(mktemp)
current=""
restore() {
    if [ -n "$current" ]; then
        cp "$backup" "$root/$current"  # a fresh time, so the next build recompiles it
        current=""
    fi
}
trap 'restore; rm -f "$backup"' EXIT
trap 'restore; exit 130' INT TERM

if [ "$check" = 0 ] && [ ! -f "$build/build.ninja" ]; then
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBRIK_SANITIZE=OFF \
        -DOMBRIK_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null || exit 1
fi

total=0
caught=0
survivors=()
invalid=()
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in ''|'#'*) continue ;; esac
    if [ -n "$pattern" ] && ! grep -q -- "$pattern" <<<"$line"; then
        continue
    fi
    IFS=$'\x1f' read -r file old new filter <<<"${line//@@/$'\x1f'}"
    file=$(trim "$file"); old=$(trim "$old"); new=$(trim "$new"); filter=$(trim "${filter:-}")
    target=$(target_of "$file")
    label="$file: $old -> $new"
    if [ -z "$target" ] || [ ! -f "$root/$file" ]; then
        invalid+=("$label (no such file or test folder)")
        continue
    fi
    cp "$root/$file" "$backup"
    current=$file
    if ! replace_once "$root/$file" "$old" "$new"; then
        restore
        invalid+=("$label (original text not found once)")
        continue
    fi
    if [ "$check" = 1 ]; then
        restore
        continue
    fi
    [ -n "$filter" ] || filter=$(default_filter "$target")
    if ! nice -n 10 cmake --build "$build" --target "$target" -- -j2 >"$build/mutation.log" 2>&1; then
        restore
        invalid+=("$label (does not build)")
        continue
    fi
    total=$((total + 1))
    if QT_QPA_PLATFORM=offscreen timeout "$per_test_timeout" nice -n 10 \
        "$build/tests/$target" --gtest_filter="$filter" --gtest_brief=1 >"$build/mutation-run.log" 2>&1; then
        survivors+=("$label")
        echo "SURVIVED  $label"
    else
        caught=$((caught + 1))
        failed=$(grep -m3 '^\[  FAILED  \]' "$build/mutation-run.log" | sed 's/^\[  FAILED  \] //' | tr '\n' ' ')
        echo "caught    $label   [${failed:-crash or timeout}]"
    fi
    restore
done <"$list"

if [ "$check" = 1 ]; then
    for m in "${invalid[@]}"; do echo "INVALID   $m"; done
    [ ${#invalid[@]} -eq 0 ] && echo "every line applies" && exit 0
    exit 1
fi
echo
echo "caught $caught of $total"
for m in "${survivors[@]}"; do echo "  survived: $m"; done
for m in "${invalid[@]}"; do echo "  not run:  $m"; done
