#!/usr/bin/env bash
# Mutation check of the effects' arithmetic. Each line of the list (default:
# mutations.txt beside this script) names a source file, a piece of text that
# occurs exactly once in it and its replacement, usually one constant,
# operator or sign:
#     file @@ original text @@ replacement [@@ gtest filter]
# The untouched tests run first; the run stops if they fail. Then for each line
# the file is changed, the test programs that guard the file's folder (the
# pinned outputs first, then the folder's own tests) are rebuilt in a plain
# Debug build (no sanitizers) and run until one fails, and the file is put
# back. A change some test fails on is caught; a crash or a time-out is
# counted apart from a failing assertion; a change every test passes with
# survived and is listed with its file and line. Run by hand, not in CI:
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

# One text replacement that must match exactly once (exit 2 otherwise);
# prints the line the text starts on.
replace_once() {
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, old, new = sys.argv[1:]
text = open(path, encoding="utf-8").read()
n = text.count(old)
if n != 1:
    print(f"{path}: {n} matches for {old!r}", file=sys.stderr)
    sys.exit(2)
print(text[:text.index(old)].count("\n") + 1)
open(path, "w", encoding="utf-8").write(text.replace(old, new))
EOF
}

# The test programs that guard a folder, quickest first: the pixel folders are
# also guarded by the pinned outputs.
target_of() {
    case "$1" in
        engine/*|effects/*) echo pinned_tests engine_tests ;;
        artistic/*) echo pinned_tests artistic_tests ;;
        light/*) echo pinned_tests light_tests ;;
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

# Splits a list line into file, old, new and filter.
parse_line() {
    IFS=$'\x1f' read -r file old new filter <<<"${1//@@/$'\x1f'}"
    file=$(trim "$file"); old=$(trim "$old"); new=$(trim "$new"); filter=$(trim "${filter:-}")
}

# The list's lines that are neither blank nor comments and match the pattern.
chosen_lines() {
    while IFS= read -r line || [ -n "$line" ]; do
        case "$line" in ''|'#'*) continue ;; esac
        if [ -n "$pattern" ] && ! grep -q -- "$pattern" <<<"$line"; then
            continue
        fi
        printf '%s\n' "$line"
    done <"$list"
}

# Runs one test program and prints how it ended: "passed", "failed" and the
# first failing tests, "crashed (exit n)" or "timed out".
run_target() {
    local log="$build/mutation-run.log" status
    QT_QPA_PLATFORM=offscreen timeout "$per_test_timeout" nice -n 10 \
        "$build/tests/$1" --gtest_filter="$2" --gtest_brief=1 >"$log" 2>&1 </dev/null
    status=$?
    if [ $status -eq 0 ]; then
        echo passed
    elif [ $status -eq 124 ]; then
        echo "timed out"
    elif grep -q '^\[  FAILED  \]' "$log"; then
        echo "failed $(grep -m3 '^\[  FAILED  \]' "$log" | sed 's/^\[  FAILED  \] //' | tr '\n' ' ')"
    else
        echo "crashed (exit $status)"
    fi
}

build_target() {
    nice -n 10 cmake --build "$build" --target "$1" -- -j2 >"$build/mutation.log" 2>&1 </dev/null
}

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

# Every test program the chosen lines need must pass untouched first, or what
# the mutations do to it means nothing.
if [ "$check" = 0 ]; then
    declare -A needed=()
    while IFS= read -r line; do
        parse_line "$line"
        for target in $(target_of "$file"); do needed[$target]=1; done
    done < <(chosen_lines)
    for target in "${!needed[@]}"; do
        if ! build_target "$target"; then
            echo "the untouched $target does not build (see $build/mutation.log)"
            exit 1
        fi
        outcome=$(run_target "$target" "$(default_filter "$target")")
        if [ "$outcome" != passed ]; then
            echo "the untouched $target does not pass: $outcome"
            exit 1
        fi
    done
fi

total=0
caught=0
crashed=0
timed_out=0
survivors=()
invalid=()
while IFS= read -r line; do
    parse_line "$line"
    targets=$(target_of "$file")
    label="$file: $old -> $new"
    if [ -z "$targets" ] || [ ! -f "$root/$file" ]; then
        invalid+=("$label (no such file or test folder)")
        continue
    fi
    cp "$root/$file" "$backup"
    current=$file
    if ! at=$(replace_once "$root/$file" "$old" "$new"); then
        restore
        invalid+=("$label (original text not found once)")
        continue
    fi
    label="$file:$at: $old -> $new"
    if [ "$check" = 1 ]; then
        restore
        continue
    fi
    outcome=passed
    built=1
    for target in $targets; do
        if ! build_target "$target"; then
            built=0
            break
        fi
        outcome=$(run_target "$target" "${filter:-$(default_filter "$target")}")
        [ "$outcome" = passed ] || break
    done
    restore
    if [ $built = 0 ]; then
        invalid+=("$label (does not build)")
        continue
    fi
    total=$((total + 1))
    case "$outcome" in
        passed)
            survivors+=("$label")
            echo "SURVIVED  $label" ;;
        failed*)
            caught=$((caught + 1))
            echo "caught    $label   [${outcome#failed }]" ;;
        crashed*)
            crashed=$((crashed + 1))
            echo "crashed   $label   [$target $outcome]" ;;
        *)
            timed_out=$((timed_out + 1))
            echo "timed out $label   [$target]" ;;
    esac
done < <(chosen_lines)

if [ "$check" = 1 ]; then
    for m in "${invalid[@]}"; do echo "INVALID   $m"; done
    [ ${#invalid[@]} -eq 0 ] && echo "every line applies" && exit 0
    exit 1
fi
echo
echo "caught $((caught + crashed + timed_out)) of $total:" \
    "$caught by a failing assertion, $crashed by a crash, $timed_out by a time-out"
for m in "${survivors[@]}"; do echo "  survived: $m"; done
for m in "${invalid[@]}"; do echo "  not run:  $m"; done
