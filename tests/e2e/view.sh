#!/usr/bin/env bash
# shellcheck disable=SC2317 # the conditions below are called through e2e_wait_for
# The enlarged view in the real window: a click on a thumbnail shows its
# picture enlarged over the grid, which turns light grey; the next-picture
# image steps to the next picture; a click on the picture closes the view and
# brings back the mid-grey grid with its thumbnails.
#
#   bash tests/e2e/view.sh /path/to/kalvio

# shellcheck source=tests/e2e/lib.sh
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

PICTURES=8

# The grid shows pictures 0-7 in cells 0-7, and cell 8 is an empty box.
grid_shows_pictures()
{
    local cell seen
    E2E_WHY=''
    for ((cell = 0; cell <= PICTURES; ++cell)); do
        seen=$(e2e_picture_at "$cell")
        if ((cell < PICTURES)); then
            [[ $seen == "$cell" ]] || E2E_WHY+=" cell $cell: $seen;"
        else
            [[ $seen == empty ]] || E2E_WHY+=" cell $cell: $seen;"
        fi
    done
    [[ -z $E2E_WHY ]]
}

# frames_are "R G B": the caption strips of columns 0 and 5 (outside the
# view) in both rows of frames show that colour.
frames_are()
{
    local cell seen
    E2E_WHY=''
    for cell in 0 5 6 11; do
        seen=$(e2e_client_pixel "$(e2e_caption_strip_x "$cell")" "$(e2e_caption_strip_y "$cell")")
        e2e_same_colour "$seen" "$1" || E2E_WHY+=" frame $cell: $seen;"
    done
    [[ -z $E2E_WHY ]]
}

# view_shows N: the view's centre shows picture N.
view_shows()
{
    e2e_client_matches "$E2E_VIEW_CENTRE_X" "$E2E_VIEW_CENTRE_Y" "$(e2e_colour_of "$1")"
}

# The grid is back: mid-grey frames and every thumbnail visible.
grid_is_back()
{
    local why=''
    frames_are "$E2E_MID_GREY" || why=$E2E_WHY
    grid_shows_pictures || why+=$E2E_WHY
    E2E_WHY=$why
    [[ -z $why ]]
}

folder="$E2E_TMP/pictures"
e2e_make_pictures "$folder" "$PICTURES"

e2e_start_xvfb
e2e_start_kalvio "$folder"
e2e_find_client
e2e_wait_for 20 "the first page shows pictures 0-7" grid_shows_pictures
if frames_are "$E2E_MID_GREY"; then
    e2e_pass "frames are mid grey before the view opens"
else
    e2e_fail "frames before the view opens:$E2E_WHY"
fi

# Open cell 2.
e2e_click "$(e2e_box_centre_x 2)" "$(e2e_box_centre_y 2)"
e2e_wait_for 10 "a click on cell 2 shows picture 2 enlarged" view_shows 2
e2e_wait_for 5 "the frames of columns 0 and 5 turn light grey" frames_are "$E2E_LIGHT_GREY"
e2e_shot
# A 4:3 picture spans the view's width and is centred vertically: 950 twips of
# the view's own mid grey above and below it.
e2e_check_client "the enlarged picture covers the grid (cell 8's place)" \
    "$(e2e_box_centre_x 8)" "$(e2e_box_centre_y 8)" "$(e2e_colour_of 2)"
e2e_check_client "the enlarged picture reaches close to the view's left edge" \
    $((E2E_VIEW_LEFT + 150)) "$E2E_VIEW_CENTRE_Y" "$(e2e_colour_of 2)"
e2e_check_client "the view shows its background above the picture" \
    "$E2E_VIEW_CENTRE_X" $((E2E_VIEW_TOP + 700)) "$E2E_MID_GREY"
e2e_check_client "the picture starts below the view's top band" \
    "$E2E_VIEW_CENTRE_X" $((E2E_VIEW_TOP + 1200)) "$(e2e_colour_of 2)"
e2e_check_client "the picture ends above the view's bottom band" \
    "$E2E_VIEW_CENTRE_X" $((E2E_VIEW_TOP + 6700)) "$(e2e_colour_of 2)"
e2e_check_client "the view shows its background below the picture" \
    "$E2E_VIEW_CENTRE_X" $((E2E_VIEW_TOP + 7200)) "$E2E_MID_GREY"

# Step to the next picture.
e2e_click "$E2E_NEXT_PICTURE_X" "$E2E_NEXT_PICTURE_Y"
e2e_wait_for 10 "the next-picture image shows picture 3" view_shows 3
e2e_shot
if frames_are "$E2E_LIGHT_GREY"; then
    e2e_pass "the frames stay light grey while stepping"
else
    e2e_fail "frames while stepping:$E2E_WHY"
fi

# Close the view with a click on the picture, away from the stepping images.
e2e_click "$E2E_VIEW_CENTRE_X" $((E2E_VIEW_TOP + 2500))
e2e_wait_for 10 "a click on the picture brings the grid back in mid grey with its thumbnails" grid_is_back

e2e_finish
