#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# The enlarged view: a thumbnail click shows its picture enlarged over a
# light-grey grid, the next-picture image steps on, a click on the picture
# brings back the mid-grey grid.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"

grid_back() { frames_are "$MID_GREY"; cells_show 0 8 8; }

make_pictures "$TMP/pictures" 8
start_xvfb
start_kalvio "$TMP/pictures"
check 30 "the grid shows pictures 0-7 in mid-grey frames" grid_back
click $(($(fx 2) + 1000)) $(($(fy 2) + 850))
check 10 "a click on cell 2 shows picture 2 enlarged, frames of columns 0 and 5 light grey" view_open 2
click $((4325 + 8000 - 100 - 645)) $((160 + 7900 - 300 - 420))
check 10 "the next-picture image shows picture 3, frames stay light grey" view_open 3
click 8325 2660
check 10 "a click on the picture brings back the mid-grey grid with its thumbnails" grid_back
finish
