#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# The real window: its background colour, mid-grey frames, and the exit image
# ending the program with status 0.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"

# Background between the logo and the back arrow and above the grid; the
# caption strips of a frame with a picture, one without and the last one.
window_looks_right()
{
    is 7350 8700 "$BACKGROUND"
    is 8000 45 "$BACKGROUND"
    for cell in 0 5 23; do strip_is "$cell" "$MID_GREY"; done
    cells_show 0 5 5
}

make_pictures "$TMP/pictures" 5
start_xvfb
start_kalvio "$TMP/pictures"
check 30 "background RGB(156,194,217), mid-grey frames, pictures 0-4 in cells 0-4" window_looks_right

click $((12450 + 1000)) $((8330 + 382))
ends_by "a click on the exit image"
finish
