#!/usr/bin/env bash
# Fails unless ThreadSanitizer, with the suppressions file in place, reports
# the deliberate race of wake_race_probe: a decode on a worker writes a global
# that a consumer of the pipeline's resultReady() reads on the owner's
# thread. A suppression broad enough to match the stacks of the pipeline's
# wake-up or of every test's main thread hides it, and this fails.
#   bash tests/tsan/probe.sh PATH/TO/wake_race_probe PATH/TO/tsan.supp
set -uo pipefail

[[ $# == 2 && -x $1 && -f $2 ]] || { echo "usage: bash $0 PROBE SUPPRESSIONS" >&2; exit 2; }
probe=$(readlink -f -- "$1")
suppressions=$(readlink -f -- "$2")
tmp=$(mktemp -d "${TMPDIR:-/tmp}/kalvio-tsan-probe.XXXXXX") || exit 1
trap 'rm -rf -- "$tmp"' EXIT

# gcc 12's ThreadSanitizer cannot place its shadow memory when the kernel
# randomises addresses with more bits than it knows; turn that off where allowed.
launcher=()
setarch "$(uname -m)" -R true 2>/dev/null && launcher=(setarch "$(uname -m)" -R)

TSAN_OPTIONS="halt_on_error=0 exitcode=0 suppressions=$suppressions log_path=$tmp/tsan" \
    QT_QPA_PLATFORM=offscreen "${launcher[@]}" "$probe" >"$tmp/output" 2>&1
status=$?

if ((status != 0)); then
    cat "$tmp/output" "$tmp"/tsan.* 2>/dev/null
    echo "FAIL: the probe itself failed (status $status)"
    exit 1
fi
# The report names the global as its location; a report of anything else
# does not count.
if grep -l "Location is global '.*wakeRaceProbeGlobal'" "$tmp"/tsan.* >/dev/null 2>&1; then
    grep -h -B2 -A6 "^  Read of size" "$tmp"/tsan.* | head -n 12
    echo "PASS: ThreadSanitizer reports the deliberate race between a decode and a consumer of resultReady()"
    exit 0
fi
cat "$tmp"/tsan.* 2>/dev/null
echo "FAIL: ThreadSanitizer did not report the deliberate race between a decode and a consumer of"
echo "resultReady(): an entry of $suppressions hides it"
exit 1
