#!/usr/bin/env bash
# shellcheck disable=SC2317 # the conditions below are called through e2e_wait_for
# Thumbnail pages in the real window: 30 pictures of distinct colours make two
# pages. The first page shows pictures 0-23 in list order; the forward arrow
# shows pictures 24-29 in cells 0-5 and leaves cells 6-23 empty, captions
# included; the back arrow brings the first page back.
#
#   bash tests/e2e/pages.sh /path/to/kalvio

# shellcheck source=tests/e2e/lib.sh
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# page_shows FIRST COUNT: cells 0..COUNT-1 show pictures FIRST.., every
# later cell an empty box. Lists the cells that differ in E2E_WHY.
page_shows()
{
    local first=$1 count=$2 cell seen wrong=''
    for ((cell = 0; cell < 24; ++cell)); do
        seen=$(e2e_picture_at "$cell")
        if ((cell < count)); then
            [[ $seen == "$((first + cell))" ]] || wrong+=" cell $cell: $seen, not picture $((first + cell));"
        else
            [[ $seen == empty ]] || wrong+=" cell $cell: $seen, not empty;"
        fi
    done
    E2E_WHY=$wrong
    [[ -z $wrong ]]
}

# captions_show COUNT: frames 0..COUNT-1 carry a caption (more than one colour
# in the strip under the picture box) and every later frame none (the strip is
# plain mid grey).
captions_show()
{
    local count=$1 cell colours r g b wrong=''
    local -a strips=()
    for ((cell = 0; cell < 24; ++cell)); do
        strips+=("$(($(e2e_frame_left "$cell") + 150)) $(($(e2e_frame_top "$cell") + 1650)) 1700 330")
    done
    cell=0
    while read -r colours r g b; do
        if ((cell < count)); then
            ((colours > 1)) || wrong+=" frame $cell has no caption;"
        elif ((colours != 1)) || ! e2e_same_colour "$r $g $b" "$E2E_MID_GREY"; then
            wrong+=" frame $cell shows a caption ($colours colours);"
        fi
        cell=$((cell + 1))
    done < <(e2e_region_summaries "${strips[@]}")
    ((cell == 24)) || wrong+=" only $cell of 24 caption strips read;"
    E2E_WHY=$wrong
    [[ -z $wrong ]]
}

folder="$E2E_TMP/pictures"
e2e_make_pictures "$folder" 30

e2e_start_xvfb
e2e_start_kalvio "$folder"
e2e_find_client

e2e_wait_for 30 "first page: cells 0-23 show pictures 0-23 in list order" page_shows 0 24
e2e_wait_for 5 "first page: all 24 frames carry a caption" captions_show 24

e2e_click "$E2E_FORWARD_X" "$E2E_FORWARD_Y"
e2e_wait_for 20 "forward arrow: cells 0-5 show pictures 24-29, cells 6-23 are empty" page_shows 24 6
e2e_wait_for 5 "forward arrow: frames 0-5 carry a caption, frames 6-23 none" captions_show 6

e2e_click "$E2E_BACK_X" "$E2E_BACK_Y"
e2e_wait_for 30 "back arrow: cells 0-23 show pictures 0-23 again" page_shows 0 24
e2e_wait_for 5 "back arrow: all 24 frames carry a caption again" captions_show 24

e2e_finish
