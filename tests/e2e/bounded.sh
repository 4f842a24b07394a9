#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# A picture whose EXIF directories point at each other in a cycle, first in
# the folder: the pictures after it are drawn at once, a click opens it, and
# Ctrl+Q ends the program at once.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"

CYCLIC=$(dirname -- "${BASH_SOURCE[0]}")/../../fuzz/regressions/exif-cycle-200-pointers.jpg

# Cells 1-6 show pictures 0-5, cell 0 is not an empty box.
others_drawn()
{
    local cell seen
    for cell in 1 2 3 4 5 6; do
        seen=$(picture_at $cell)
        [[ $seen == "$((cell - 1))" ]] || WHY+=" cell $cell: $seen, not $((cell - 1));"
    done
    [[ $(picture_at 0) != empty ]] || WHY+=" cell 0 is empty;"
    [[ -z $WHY ]]
}
# The view is open over the grid (its frames light grey) and shows the
# picture's red-to-blue gradient at its centre, not the view's mid grey.
cyclic_open()
{
    frames_are "$LIGHT_GREY"
    local centre
    centre=$(at 8325 4110)
    same "$centre" "$MID_GREY" && WHY+=" the view is empty;"
    [[ -z $WHY ]]
}

make_pictures "$TMP/pictures" 6
cp -- "$CYCLIC" "$TMP/pictures/A00.JPG" || abort "no cyclic EXIF file at $CYCLIC"
start_xvfb
start_kalvio "$TMP/pictures"
check 10 "the pictures after the cyclic one are drawn" others_drawn
click $(($(fx 0) + 1000)) $(($(fy 0) + 850))
check 5 "a click on the cyclic one opens it enlarged" cyclic_open
xdotool key ctrl+q || fail "no key ctrl+q"
ends_by "Ctrl+Q"
finish
