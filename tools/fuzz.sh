#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz in build/fuzz and runs each for SECONDS seconds,
# JOBS of them at a time (default 1); after JOBS, names of targets run only those. Each target starts from its seed corpus, which holds the
# inputs of every fault found so far, and from what earlier runs here found (build/fuzz/corpus);
# a crash or a broken invariant leaves its input in build/fuzz/crashes.
# Prints one line per target and then "N targets, N crashes"; exits non-zero on any crash.
#   bash tools/fuzz.sh 10          # the short run of CI
#   bash tools/fuzz.sh 600 2       # ten minutes each, two at a time
#   bash tools/fuzz.sh 600 1 settings
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: tools/fuzz.sh SECONDS [JOBS]}
jobs=${2:-1}
shift $(($# < 2 ? $# : 2))
top=$(pwd)
out=$top/build/fuzz

tools/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target orbiscape-fuzz-targets >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for seeds in tests/fuzz/corpus/*/; do
        targets+=("$(basename "$seeds")")
    done
fi
for name in "${targets[@]}"; do
    [ -x "$out/tests/fuzz/${name}_fuzz" ] || { echo "no fuzz target $name" >&2; exit 2; }
done
mkdir -p "$out/crashes" "$out/logs"

run_target() {
    local name=$1 options=()
    [ -f "tests/fuzz/$name.dict" ] && options+=("-dict=tests/fuzz/$name.dict")
    # A mirror list may fill the whole 16 KiB buffer of its value.
    [ "$name" = settings ] && options+=(-max_len=20000)
    mkdir -p "$out/corpus/$name"
    local status=0
    "$out/tests/fuzz/${name}_fuzz" "${options[@]}" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$out/crashes/$name-" \
        "$out/corpus/$name" "tests/fuzz/corpus/$name" >"$out/logs/$name.log" 2>&1 || status=$?
    echo "$status" >"$out/logs/$name.status"
}

running=0
for name in "${targets[@]}"; do
    run_target "$name" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

crashes=0
for name in "${targets[@]}"; do
    log=$out/logs/$name.log
    stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
    # The last progress line's counts: coverage points and features.
    progress() { { grep -o " $1: [0-9]*" "$log" || true; } | tail -1 | tr -dc 0-9; }
    features=$(progress ft)
    coverage=$(progress cov)
    found=0
    if [ "$(cat "$out/logs/$name.status")" != 0 ]; then
        found=1
    fi
    crashes=$((crashes + found))
    printf '%-14s %12s executions %8s/s  coverage %5s  features %6s  crashes %d\n' "$name" \
        "$(stat number_of_executed_units)" "$(stat average_exec_per_sec)" "${coverage:-0}" \
        "${features:-0}" "$found"
    if [ "$found" != 0 ]; then
        grep -m1 -E 'ERROR|invariant broken|runtime error' "$log" | sed 's/^/    /' || true
        { grep 'Test unit written to' "$log" || tail -5 "$log"; } | tail -1 | sed 's/^/    /'
    fi
done
echo "${#targets[@]} targets, $crashes crashes"
[ "$crashes" -eq 0 ]
