#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# The whole program under ThreadSanitizer, driven through a short session in
# an X server of its own: 30 pictures on two pages; PgDn and PgUp; a picture
# opened and stepped across the page edge; full screen with steps, 1:1, the
# information panel and the slideshow; Escape; Ctrl+Q. Every report is
# collected; any whose racing access is our code fails (the rule is in
# own_races.sh beside this file), reports wholly inside Qt and the system's
# libraries are only counted.
#   bash tests/tsan/session.sh build/tsan/kalvio     (KALVIO_TSAN_LOGS=DIR keeps the reports)
here=$(cd "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)

# gcc 12's ThreadSanitizer cannot place its shadow memory when the kernel
# randomises addresses with more bits than it knows; turn that off where allowed.
if [[ -z ${KALVIO_TSAN_SETARCH:-} ]] && setarch "$(uname -m)" -R true 2>/dev/null; then
    KALVIO_TSAN_SETARCH=1 exec setarch "$(uname -m)" -R bash "$0" "$@"
fi

source "$here/../e2e/lib.sh"
ldd "$KALVIO" | grep -q libtsan || abort "$KALVIO is not built with ThreadSanitizer (scripts/build.sh tsan)"

# Reports go to files, one per process; the program goes on after each.
export TSAN_OPTIONS="halt_on_error=0 exitcode=0 second_deadlock_stack=1 suppressions=$here/../tsan.supp log_path=$TMP/tsan"

key() { xdotool key --delay 100 "$@" || fail "no key $*"; }
grid_shows() { frames_are "$MID_GREY"; cells_show "$1" "$2" 23; }

make_pictures "$TMP/pictures" 30
start_xvfb
start_kalvio "$TMP/pictures" --delay 0.3
check 60 "first page drawn" grid_shows 0 24
# Keys go to the window under the pointer: rest it on the window's background.
xdotool mousemove --sync $((CX + $(px 7350))) $((CY + $(px 8700)))
key Tab Tab Tab Next
check 30 "PgDn turns to page 2" grid_shows 24 6
key Prior
check 30 "PgUp turns back to page 1" grid_shows 0 24
click $(($(fx 22) + 1000)) $(($(fy 22) + 850))
check 20 "a click on cell 22 opens picture 22" view_open 22
key Right Right
check 20 "Right twice steps across the page edge to picture 24" view_open 24
key f
poll 20 full_found || abort "no full-screen window after F"
xdotool windowfocus --sync "$FULL" 2>/dev/null || fail "the full-screen window could not take the focus"
check 20 "F shows picture 24 full screen" middle_shows 24
key Right Right Left
check 20 "Right, Right, Left show picture 25" middle_shows 25
key 1 i 1 s
check 30 "1, I, 1 and S: the slideshow reaches the last picture" middle_shows 29
key Escape
if poll 20 full_gone; then pass "Escape leaves the full screen"; else fail "the full screen stays after Escape"; fi
xdotool windowfocus --sync "$WINDOW" 2>/dev/null
check 20 "the window shows picture 29 enlarged" view_open 29
key ctrl+q
ends_by "Ctrl+Q"

shopt -s nullglob
reports=("$TMP"/tsan.*)
# KALVIO_TSAN_LOGS=DIR keeps the reports there to be read.
[[ -n ${KALVIO_TSAN_LOGS:-} ]] && mkdir -p "$KALVIO_TSAN_LOGS" && cp -- "${reports[@]}" "$KALVIO_TSAN_LOGS/"
if bash "$here/own_races.sh" "$here/../.." "${reports[@]}"; then
    pass "no ThreadSanitizer report in our code"
else
    fail "ThreadSanitizer reports races in our code (above)"
fi
finish
