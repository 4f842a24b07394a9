#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# An animated GIF in the full screen: started on it from the command line, the
# screen's middle turns from its first frame to its second and back; stepping
# to the next picture shows that one, and stepping back plays the GIF again.
# Screenshots of both frames are kept in $KALVIO_SCREENSHOTS when it is set.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
W=1280 H=720
RED='255 0 0' BLUE='0 0 255' GREEN='0 255 0'

key() { xdotool key --delay 80 "$@" || fail "no key $*"; }
# middle_is "R G B" [NAME]: the screen's middle has that colour (the screenshot
# is kept as NAME.png in $KALVIO_SCREENSHOTS); its corner is black.
middle_is()
{
    local seen
    seen=$(pixel $((W / 2)) $((H / 2)))
    same "$seen" "$1" || WHY+=" the middle is $seen, not $1;"
    same "$(pixel 10 10)" "0 0 0" || WHY+=" the corner is $(pixel 10 10), not black;"
    [[ -z $WHY && -n ${2:-} ]] && keep "$2"
    [[ -z $WHY ]]
}

mkdir -p "$TMP/gif"
# Two frames of 0.6 s each, for ever; a 24-bit BMP after it.
convert -delay 60 -size 160x120 xc:red xc:blue -loop 0 "$TMP/gif/A.GIF" || abort "could not write A.GIF"
convert -size 160x120 xc:lime -type TrueColor "BMP3:$TMP/gif/B.BMP" || abort "could not write B.BMP"
start_xvfb
launch_kalvio "$TMP/gif" --fullscreen "$TMP/gif/A.GIF"
poll 10 full_found || abort "no full-screen window"
xdotool windowfocus --sync "$FULL" 2>/dev/null || fail "the full-screen window could not take the focus"
check 10 "--fullscreen shows the first frame" middle_is "$RED" animation-1
check 10 "the second frame follows" middle_is "$BLUE" animation-2
check 10 "then the first again" middle_is "$RED"
key Right
check 10 "Right shows the next picture" middle_is "$GREEN"
key Left
check 10 "Left: the GIF plays again" middle_is "$BLUE"
check 10 "and comes round to its first frame" middle_is "$RED"
key ctrl+q
ends_by "Ctrl+Q in full screen"
finish
