#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# Thumbnail pages of 30 pictures: page one shows pictures 0-23 in list order,
# the forward arrow pictures 24-29 in cells 0-5 and nothing in cells 6-23,
# the back arrow page one again.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"

# captions COUNT: frames 0..COUNT-1 show text in their caption strip (more
# than one colour), the later frames a plain strip.
captions()
{
    local crops=() cell n
    for ((cell = 0; cell < 24; ++cell)); do
        crops+=('(' mpr:s -crop "113x22+$((CX + $(px $(($(fx "$cell") + 150)))))+$((CY + $(px $(($(fy "$cell") + 1650)))))" +repage ')')
    done
    cell=0
    while read -r n; do
        ((cell < $1 ? n > 1 : n == 1)) || WHY+=" frame $cell: $n colours in its caption strip;"
        cell=$((cell + 1))
    done < <(convert -size "${W}x$H" -depth 8 "rgb:$TMP/shot.rgb" -write mpr:s +delete "${crops[@]}" -format '%k\n' info:)
    ((cell == 24)) || WHY+=" $cell of 24 caption strips read;"
    [[ -z $WHY ]]
}
# page FIRST COUNT: cells 0..COUNT-1 show pictures FIRST.. with captions, the rest nothing.
page() { captions "$2"; cells_show "$1" "$2" 23; }

make_pictures "$TMP/pictures" 30
start_xvfb
start_kalvio "$TMP/pictures"
check 40 "first page: cells 0-23 show pictures 0-23 in order, with captions" page 0 24
click $((9390 + 645)) $((8330 + 420))
check 30 "forward arrow: cells 0-5 show pictures 24-29, cells 6-23 are empty" page 24 6
click $((7750 + 645)) $((8330 + 420))
check 30 "back arrow: cells 0-23 show pictures 0-23 again" page 0 24
finish
