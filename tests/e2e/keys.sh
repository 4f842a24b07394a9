#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# Keys and the wheel in the real window, 30 pictures on two pages: Tab into
# the grid, arrows between the cells, Enter opens, Right and Left step, Escape
# closes; PgDn, PgUp, End and Home turn the pages; the wheel turns pages over
# the grid and steps pictures over the view; Ctrl+Q ends the program.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"

key() { xdotool key --delay 60 "$@" || fail "no key $*"; }
wheel() { xdotool mousemove --sync $((CX + $(px "$1"))) $((CY + $(px "$2"))) click "$3" || fail "no wheel at $1,$2"; }
grid_shows() { frames_are "$MID_GREY"; cells_show "$1" "$2" 23; }
# focus_on CELL: that frame carries a dark red edge, its neighbours none.
focus_on()
{
    local cell
    for ((cell = $1 > 0 ? $1 - 1 : 0; cell <= $1 + 1; ++cell)); do
        is $(($(fx "$cell") + 20)) $(($(fy "$cell") + 1000)) "$([[ $cell == "$1" ]] && echo '64 0 0' || echo "$MID_GREY")"
    done
    [[ -z $WHY ]]
}

make_pictures "$TMP/pictures" 30
start_xvfb
start_kalvio "$TMP/pictures"
check 40 "first page drawn" grid_shows 0 24
# Keys go to the window under the pointer: rest it on the window's background.
xdotool mousemove --sync $((CX + $(px 7350))) $((CY + $(px 8700)))
key Tab Tab Tab # the file list, frame 0
check 10 "Tab goes from the folder list by the file list to frame 0" focus_on 0
key Right
check 10 "Right moves the focus to cell 1" focus_on 1
key Return
check 10 "Enter opens picture 1" view_open 1
key Right
check 10 "Right steps to picture 2" view_open 2
key BackSpace
check 10 "BackSpace steps back to picture 1" view_open 1
key Escape
check 10 "Escape closes the view, the focus back on cell 1" grid_shows 0 24
check 5 "the focus is on cell 1 again" focus_on 1
key Next
check 20 "PgDn turns to page 2" grid_shows 24 6
key Prior
check 20 "PgUp turns back to page 1" grid_shows 0 24
key End
check 20 "End goes to the last page" grid_shows 24 6
key Home
check 20 "Home goes to the first page" grid_shows 0 24
wheel $(($(fx 3) + 1000)) $(($(fy 3) + 850)) 5
check 20 "the wheel down over the grid turns to page 2" grid_shows 24 6
wheel $(($(fx 3) + 1000)) $(($(fy 3) + 850)) 4
check 20 "the wheel up turns back to page 1" grid_shows 0 24
key space
check 10 "Space opens the focused cell's picture" view_open 1
wheel 8325 4110 5
check 10 "the wheel down over the view steps to picture 2" view_open 2

key ctrl+q
ends_by "Ctrl+Q"
finish
