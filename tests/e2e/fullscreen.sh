#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# The full-screen view on a 3840 x 2160 screen: F on a cell focused from the
# keyboard opens it on that cell's picture, F11 from the enlarged view on that
# picture; it steps across the folder and stays at its ends; Escape
# brings back the window on the page of the last picture, enlarged there; the
# slideshow moves on by itself; R turns the picture; V fills the screen and O
# shows the overlay; 1 shows a one-pixel
# checkerboard pixel for pixel; Ctrl+Q ends the program from full screen, and
# right after Escape.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
W=3840 H=2160

key() { xdotool key --delay 80 "$@" || fail "no key $*"; }
# enter WHAT: the full-screen window appears and takes the input focus.
enter()
{
    poll 10 full_found || abort "no full-screen window after $1"
    xdotool windowfocus --sync "$FULL" 2>/dev/null || fail "the full-screen window could not take the focus"
}
# leave WHAT: the full-screen window goes; the window takes the focus again.
leave()
{
    if poll 10 full_gone; then pass "$1 leaves the full screen"; else fail "the full screen stays after $1"; fi
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null
}
# shows N: the full screen's middle has picture N's colour, its corner is black.
shows()
{
    middle_shows "$1"
    same "$(pixel 40 40)" "0 0 0" || WHY+=" the corner is $(pixel 40 40), not black;"
    [[ -z $WHY ]]
}
# red_towards DX DY: picture A (80 x 40, red left half, blue right) shows
# red 15 pixels from the middle of the screen that way, blue the other way.
RED='255 0 0' BLUE='0 0 255'
red_towards()
{
    local there back
    there=$(pixel $((W / 2 + 15 * $1)) $((H / 2 + 15 * $2)))
    back=$(pixel $((W / 2 - 15 * $1)) $((H / 2 - 15 * $2)))
    same "$there" "$RED" && same "$back" "$BLUE" || WHY+=" towards $1,$2 it is $there, away $back;"
    [[ -z $WHY ]]
}
# smoothed_at X Y: the checkerboard reduced to fit blends red and white to pink.
smoothed_at()
{
    local r g b
    read -r r g b <<<"$(pixel "$1" "$2")"
    ((r > 240 && g > 100 && g < 160 && b > 100 && b < 160)) || WHY+=" $1,$2 is $r $g $b, not pink;"
    [[ -z $WHY ]]
}
# The overlay's box darkens the bottom left corner (36, H - 36): it stands
# half a line (20 to 35 pixels at this height) from the screen's edges and
# holds its text as far again from its own. Where it is not, B shows red and
# white, blended in some proportion.
dark_at()
{
    local r g b
    read -r r g b <<<"$(pixel "$1" "$2")"
    ((r < 120 && g < 120 && b < 120)) || WHY+=" $1,$2 is $r $g $b, not dark;"
    [[ -z $WHY ]]
}
reddened_at()
{
    local r g b
    read -r r g b <<<"$(pixel "$1" "$2")"
    ((r > 240 && g == b)) || WHY+=" $1,$2 is $r $g $b, not red and white;"
    [[ -z $WHY ]]
}
is_black()
{
    same "$(pixel "$1" "$2")" "0 0 0" || WHY+=" $1,$2 is not black;"
    [[ -z $WHY ]]
}
# Every pixel of a square about (X, Y) is red or white, each unlike its
# right and lower neighbours: a one-pixel checkerboard, unsmoothed.
checkerboard_at()
{
    local x y colour right below wrong=0
    for ((y = $2; y < $2 + 4; ++y)); do
        for ((x = $1; x < $1 + 4; ++x)); do
            colour=$(pixel "$x" "$y") right=$(pixel $((x + 1)) "$y") below=$(pixel "$x" $((y + 1)))
            [[ $colour == '255 0 0' || $colour == '255 255 255' ]] || wrong=$((wrong + 1))
            [[ $colour != "$right" && $colour != "$below" ]] || wrong=$((wrong + 1))
        done
    done
    ((wrong == 0)) || WHY+=" $wrong pixels about $1,$2 break the pattern (first $(pixel "$1" "$2"));"
    [[ -z $WHY ]]
}

make_pictures "$TMP/pictures" 30
start_xvfb
start_kalvio "$TMP/pictures" --delay 0.3
check 40 "first page drawn" cells_show 0 24 23
# From the keyboard: Tab into the grid, Right to cell 3, F.
xdotool mousemove --sync $((CX + $(px 7350))) $((CY + $(px 8700)))
key Tab Tab Tab Right Right Right f
enter "F on the focused cell 3"
check 10 "F on the focused cell 3 shows picture 3 full screen" shows 3
key Escape
leave "Escape"
check 10 "the window shows picture 3 enlarged" view_open 3
click 8325 2660
click $(($(fx 2) + 1000)) $(($(fy 2) + 850))
check 10 "a click on cell 2 shows picture 2 enlarged" view_open 2
key F11
enter F11
check 10 "F11 shows picture 2 full screen, on black" shows 2
key End
check 10 "End shows the last picture, 29" shows 29
key Right space Next
check 5 "Right, Space and PgDn stay at the last picture" shows 29
key Home
check 10 "Home shows the first picture" shows 0
key Left BackSpace Prior
check 5 "Left, BackSpace and PgUp stay at the first picture" shows 0
xdotool mousemove --sync 300 300 click 5 click 5 || fail "no wheel"
check 10 "two turns of the wheel down show picture 2" shows 2
key End Left Left
check 10 "End and Left twice show picture 27" shows 27
key Escape
leave Escape
check 10 "the window shows picture 27 enlarged" view_open 27
click 8325 2660
check 10 "and under it the second page, pictures 24-29" cells_show 24 6 23

# The slideshow, 0.3 s a picture, from picture 25 to the last.
xdotool mousemove --sync $((CX + $(px $(($(fx 1) + 1000))))) $((CY + $(px $(($(fy 1) + 850))))) click 3 ||
    fail "no right click on cell 1"
sleep 0.5
key Down Return
enter "the thumbnail's menu item"
check 10 "the menu of cell 1 on the second page shows picture 25 full screen" shows 25
key s
check 10 "S: the slideshow reaches the last picture" shows 29
key F11
leave F11
check 10 "the window shows picture 29 enlarged, as a click would" view_open 29
# Escape and at once Ctrl+Q: the key comes while the full screen's window goes.
key F11
enter "F11 again"
xdotool key Escape ctrl+q || fail "no keys Escape ctrl+q"
ends_by "Escape, then at once Ctrl+Q"

# Turning and 1:1, started full screen from the command line.
mkdir -p "$TMP/large"
convert -size 80x40 xc:blue -fill red -draw 'rectangle 0,0 39,39' -type TrueColor "BMP3:$TMP/large/A.BMP" ||
    abort "could not write A.BMP"
convert -size 4200x2600 pattern:gray50 -fill red -opaque black -type TrueColor "BMP3:$TMP/large/B.BMP" ||
    abort "could not write B.BMP"
cp "$TMP/large/B.BMP" "$TMP/large/C.BMP" || abort "could not write C.BMP"
launch_kalvio "$TMP/large" --fullscreen "$TMP/large/A.BMP"
enter --fullscreen
check 10 "--fullscreen shows A upright: red on the left" red_towards -1 0
key r
check 10 "R turns it clockwise: red on top" red_towards 0 -1
key shift+r shift+r
check 10 "Shift+R twice turns it back past upright: red below" red_towards 0 1
key greater
check 10 "> turns it clockwise: red on the left" red_towards -1 0
key less
check 10 "< turns it back: red below" red_towards 0 1
key Right
check 10 "Right shows B fitted to the screen, smoothed" smoothed_at 1000 800
key v
check 10 "V fills the screen with B: red and white reach its corner" reddened_at 40 40
keep fullscreen-fill
key o
check 10 "O shows the overlay, a dark box at the bottom left over B" dark_at 36 $((H - 36))
keep fullscreen-overlay
key w o
check 10 "W fits B again, black at the sides, and O hides the overlay" eval \
    "smoothed_at 1000 800 && is_black 40 40 && reddened_at 200 $((H - 36))"
xdotool mousemove --sync 1000 800 || fail "no pointer move"
key 1
check 20 "1 shows B pixel for pixel, near the pointer and far from it" eval \
    'checkerboard_at 1000 800 && checkerboard_at 3700 2100 && checkerboard_at 2 2'
keep fullscreen-1to1
key k space
check 20 "K keeps 1:1 across a step: C pixel for pixel too" eval 'checkerboard_at 1000 800 && checkerboard_at 2 2'
keep fullscreen-kept-zoom
key bracketright l
check 10 "] and L change the slideshow, its state shown over C" dark_at 36 $((H - 36))
keep fullscreen-slideshow-settings
key BackSpace k
check 20 "BackSpace: B at the kept 1:1" checkerboard_at 1000 800
key BackSpace
check 10 "BackSpace: back at A, it is still turned" red_towards 0 1
key f
leave "F after --fullscreen"
key f
enter "F in the enlarged view"
key ctrl+q
ends_by "Ctrl+Q in full screen"
finish
