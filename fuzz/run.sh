#!/usr/bin/env bash
# Builds the decoder's fuzz target (build/fuzz), writes the seed corpus and
# fuzzes for the number of seconds given (default 60). Inputs found on the way
# are kept in build/fuzz/corpus for the next run; an input that crashes the
# decoder, makes one allocation over 160 MiB or runs over 15 s (each decode is
# cut off after 1 s of processor time, 4 s for the full screen, so the five
# ways an input is decoded stay well within it), is saved in fuzz/regressions/,
# where the decoder's tests replay it. Prints the executions run, and exits
# non-zero when something was found.
#   bash fuzz/run.sh [SECONDS]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
build="$root/build/fuzz"

bash "$root/scripts/build.sh" fuzz
bash "$root/fuzz/make-corpus.sh" "$build/seeds"
mkdir -p "$build/corpus" "$root/fuzz/regressions"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Leaks are not what this looks for: Qt keeps its readers' plugins for good.
status=0
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/kalvio_fuzz_decode" -max_total_time="$seconds" -timeout=15 \
    -malloc_limit_mb=160 -print_final_stats=1 -artifact_prefix="$root/fuzz/regressions/" \
    "$build/corpus" "$build/seeds" >"$log" 2>&1 || status=$?
grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::|==[0-9]+==|SUMMARY|artifact_prefix|Test unit written)' "$log" || true
executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
echo "fuzz: ${executions:-0} executions in ${seconds} s, exit status $status"
if ((status != 0)); then
    tail -n 60 "$log" >&2
fi
exit "$status"
