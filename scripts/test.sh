#!/usr/bin/env bash
# Installs what is missing, then builds and runs the test suite twice: a Release
# build, and a Debug build with AddressSanitizer and UBSan; then, under
# ThreadSanitizer, the picture pipeline's tests, the probe that the
# suppressions hide no race of ours, and a short session of the whole program;
# and fuzzes the picture decoder for a minute (KALVIO_FUZZ_SECONDS to change),
# which counts as one more test. Ends with a line "N passed, M failed" summed
# over all of it; exits non-zero if any step failed.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

passed=0
failed=0
status=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# The tests never need a real screen.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

step_failed() {
    echo "test.sh: $1 failed" >&2
    status=1
}

# Runs ctest in build/<kind> (further arguments go to ctest), through the
# command in the array ctest_launcher if one is set, and adds its counts to the
# totals.
ctest_launcher=()
run_ctest() {
    local kind=$1
    shift
    : >"$log"
    # --no-tests=error: a build that registers no tests must not pass silently.
    "${ctest_launcher[@]}" ctest --test-dir "build/$kind" --output-on-failure --no-tests=error "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}

    local line
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [[ -n "$line" ]]; then
        local failed_here total_here
        failed_here=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
        total_here=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
        passed=$((passed + total_here - failed_here))
        failed=$((failed + failed_here))
    fi
    if ((rc != 0)); then
        step_failed "ctest ($kind)"
    fi
}

if bash scripts/setup.sh test; then
    if bash scripts/build.sh Release; then
        run_ctest Release
    else
        step_failed "build (Release)"
    fi

    if bash scripts/build.sh asan; then
        ASAN_OPTIONS=detect_leaks=0 \
            UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            run_ctest asan
    else
        step_failed "build (asan)"
    fi

    # Under ThreadSanitizer: the pipeline's tests, where any report fails;
    # tsan_probe, which fails unless a deliberate race between a decode and a
    # consumer of resultReady() is reported with tests/tsan.supp; and
    # tsan_session, the whole program driven for half a minute in an X server,
    # which fails on any report in our code (tests/tsan/own_races.sh). The
    # last two set their own TSAN_OPTIONS. ThreadSanitizer of gcc 12 cannot
    # place its shadow memory when the kernel randomises addresses with more
    # bits than it knows (vm.mmap_rnd_bits 32), so randomisation is turned off
    # for it where that is allowed.
    if bash scripts/build.sh tsan; then
        if setarch "$(uname -m)" -R true 2>/dev/null; then
            ctest_launcher=(setarch "$(uname -m)" -R)
        fi
        TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/tests/tsan.supp" \
            run_ctest tsan --tests-regex '^(tst_pipeline|tst_wakechannel|tsan_probe|tsan_session)$'
        ctest_launcher=()
    else
        step_failed "build (tsan)"
    fi

    if bash fuzz/run.sh "${KALVIO_FUZZ_SECONDS:-60}"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        step_failed "fuzzing the picture decoder (see fuzz/regressions/)"
    fi
else
    step_failed "setup"
fi

echo "$passed passed, $failed failed"
exit "$status"
