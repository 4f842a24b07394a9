#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# The enlarged view: a thumbnail click shows its picture enlarged over a
# light-grey grid, the next-picture image steps on, a click on the picture
# brings back the mid-grey grid.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"

# frames_are "R G B": the caption strips of columns 0 and 5, outside the view.
frames_are() { for cell in 0 5 6 11; do strip_is "$cell" "$1"; done; }

# view_open N: picture N (4:3) spans the 8000 x 7900 view at 4325,160, over
# cell 8's place, centred with the view's mid grey 950 twips above and below;
# the grid is light grey.
view_open()
{
    local p=${COLOURS[$1]}
    is 8325 4110 "$p"
    is 4475 4110 "$p"
    is $(($(fx 8) + 1000)) $(($(fy 8) + 850)) "$p"
    is 8325 1360 "$p"
    is 8325 6860 "$p"
    is 8325 860 "$MID_GREY"
    is 8325 7360 "$MID_GREY"
    frames_are "$LIGHT_GREY"
    [[ -z $WHY ]]
}
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
