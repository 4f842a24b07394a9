#!/usr/bin/env bash
# shellcheck disable=SC2317 # the conditions below are called through e2e_wait_for
# The real window: started in a folder of five pictures it opens with the
# title "Kalvio ver 1.1", shows its background colour where no control lies
# and the grid's frames in mid grey, and the exit image ends the program with
# status 0.
#
#   bash tests/e2e/window.sh /path/to/kalvio

# shellcheck source=tests/e2e/lib.sh
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# The first page is drawn once cells 0-4 show pictures 0-4 and cell 5 is an
# empty box.
page_drawn()
{
    local cell seen
    E2E_WHY=''
    for cell in 0 1 2 3 4; do
        seen=$(e2e_picture_at "$cell")
        [[ $seen == "$cell" ]] || E2E_WHY+=" cell $cell: $seen;"
    done
    seen=$(e2e_picture_at 5)
    [[ $seen == empty ]] || E2E_WHY+=" cell 5: $seen;"
    [[ -z $E2E_WHY ]]
}

folder="$E2E_TMP/pictures"
e2e_make_pictures "$folder" 5

e2e_start_xvfb
e2e_start_kalvio "$folder"
e2e_find_client
e2e_wait_for 20 "the first page is drawn (pictures in cells 0-4)" page_drawn

e2e_shot
# Between the logo and the back arrow, and in the margin above the grid.
e2e_check_client "window background between logo and back arrow" 7350 8700 "$E2E_BACKGROUND"
e2e_check_client "window background in the margin above the grid" 8000 45 "$E2E_BACKGROUND"
# Caption strips of a frame with a picture, one without, and the last one.
for cell in 0 5 23; do
    e2e_check_client "frame $cell is mid grey in its caption strip" \
        "$(e2e_caption_strip_x "$cell")" "$(e2e_caption_strip_y "$cell")" "$E2E_MID_GREY"
done

e2e_click "$E2E_EXIT_X" "$E2E_EXIT_Y"
if e2e_wait_for_exit 10; then
    if [[ $E2E_KALVIO_STATUS == 0 ]]; then
        e2e_pass "the exit image ends the program with status 0"
    else
        e2e_fail "the exit image ends the program with status $E2E_KALVIO_STATUS, not 0"
    fi
else
    e2e_fail "the program still runs 10 s after a click on the exit image"
fi

e2e_finish
