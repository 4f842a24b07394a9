#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# Without a window manager and without a click, the program takes the
# keyboard itself: the pointer rests off its windows (keys would go to the
# bare screen under it), and nobody gives a window the input focus. Started
# plainly, the window has the keys: Tab into the grid and F opens the full
# screen, which has them too (Right steps); Escape brings the window back with
# them, F11 opens the full screen again. Started with --fullscreen, the full
# screen has the keys at once.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
W=1920 H=1080
# shellcheck disable=SC2034 # read by launch_kalvio in lib.sh
FOCUS=own

key() { xdotool key --delay 80 "$@" || fail "no key $*"; }

make_pictures "$TMP/pictures" 6
start_xvfb
xdotool mousemove --sync 2 2 || fail "no pointer move"
start_kalvio "$TMP/pictures"
check 40 "first page drawn" cells_show 0 6 23
key Tab Tab Tab Right f
if poll 10 full_found; then pass "Tab, Right and F open the full screen"; else fail "no full screen after F"; fi
check 10 "it shows picture 1" middle_shows 1
key Right
check 10 "Right there shows picture 2" middle_shows 2
key Escape
if poll 10 full_gone; then pass "Escape leaves the full screen"; else fail "the full screen stays after Escape"; fi
check 10 "the window shows picture 2 enlarged" view_open 2
key F11
if poll 10 full_found; then pass "F11 opens the full screen again"; else fail "no full screen after F11"; fi
check 10 "on picture 2" middle_shows 2
key ctrl+q
ends_by "Ctrl+Q"

launch_kalvio "$TMP/pictures" --fullscreen "$TMP/pictures/P04.BMP"
poll 10 full_found || abort "no full screen after --fullscreen"
check 10 "--fullscreen shows picture 3" middle_shows 3
key Right
check 10 "Right at once shows picture 4" middle_shows 4
key ctrl+q
ends_by "Ctrl+Q after --fullscreen"
finish
