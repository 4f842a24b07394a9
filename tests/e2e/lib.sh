# shellcheck shell=bash disable=SC2034 # the colours and layout are used by the scripts that source this file
# Shared by the end-to-end scripts: the real viewer runs in an X server of its
# own and is judged by the pixels of screenshots. Points are in twips of the
# client area, as the program places its controls (15 twips a pixel).
set -u
W=1280 H=1024 TOL=8 FAILURES=0 KPID='' XPID='' STATUS='' WHY='' WINDOW='' CX=0 CY=0
BACKGROUND='156 194 217' MID_GREY='128 128 128' LIGHT_GREY='180 180 180' EMPTY_BOX='240 240 240'
DEADLINE=$((SECONDS + 120)) # every wait ends by then, whatever goes wrong

pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
abort() { fail "$*"; finish; }
finish()
{
    ((FAILURES == 0)) && { echo "ALL PASSED"; exit 0; }
    [[ -s $TMP/kalvio.log ]] && { echo "--- output of kalvio ---"; cat "$TMP/kalvio.log"; }
    echo "$FAILURES FAILED"
    exit 1
}

# stop PID: ends a process this script started, by force after 2 s.
stop()
{
    [[ -n $1 ]] || return 0
    kill "$1" 2>/dev/null
    for _ in {1..20}; do kill -0 "$1" 2>/dev/null && sleep 0.1; done
    kill -9 "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    return 0
}

[[ $# == 1 && -x $1 ]] || { echo "usage: bash $0 /path/to/kalvio"; exit 2; }
KALVIO=$(readlink -f -- "$1")
TMP=$(mktemp -d "${TMPDIR:-/tmp}/kalvio-e2e.XXXXXX") || exit 1
trap 'stop "$KPID"; stop "$XPID"; rm -rf -- "$TMP"' EXIT
trap 'exit 130' INT TERM

# poll SECONDS CMD...: true once CMD succeeds, tried every 0.2 s; false after
# SECONDS or at the deadline.
poll()
{
    local limit=$((SECONDS + $1))
    shift
    ((limit < DEADLINE)) || limit=$DEADLINE
    until "$@"; do
        ((SECONDS < limit)) || return 1
        sleep 0.2
    done
}

# True while the viewer runs; once it has ended, STATUS holds its exit status.
running()
{
    [[ -n $KPID ]] || return 1
    kill -0 "$KPID" 2>/dev/null && return 0
    wait "$KPID"
    STATUS=$?
    KPID=''
    return 1
}
ended() { ! running; }

# An X server on a free display it picks itself, under timeout so that it ends
# even if this script is killed; -noreset, as a reset when the last client
# leaves can drop the viewer's connection while it is being set up.
start_xvfb()
{
    timeout -k 5 180 Xvfb -displayfd 3 -screen 0 "${W}x${H}x24" -dpi 96 -nolisten tcp -noreset \
        3>"$TMP/display" 2>"$TMP/xvfb.log" &
    XPID=$!
    poll 20 grep -qs . "$TMP/display" || abort "no X server: $(tail -n 3 "$TMP/xvfb.log")"
    DISPLAY=":$(<"$TMP/display")"
    export DISPLAY
    unset XAUTHORITY
}

# start_kalvio FOLDER [ARGUMENT...]: the viewer runs in FOLDER with the
# arguments; its window and client area are found.
start_kalvio()
{
    launch_kalvio "$@"
    check 20 "client area found below the menu bar" client_found || finish
}
# launch_kalvio FOLDER ARGS...: as start_kalvio, without looking for the
# client area (a window started full screen covers it at once).
launch_kalvio()
{
    local folder=$1
    shift
    mkdir -p -m 700 "$TMP/run"
    (cd "$folder" && exec timeout -k 5 180 env -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS QT_QPA_PLATFORM=xcb \
        QT_ENABLE_HIGHDPI_SCALING=0 XDG_RUNTIME_DIR="$TMP/run" "$KALVIO" "$@") >"$TMP/kalvio.log" 2>&1 &
    KPID=$!
    poll 30 window_found || abort "no window \"Kalvio ver 1.1\" within 30 s"
    pass "window \"Kalvio ver 1.1\" appeared"
    # There is no window manager: give the window the input focus as one
    # would, unless the script sees the program take it itself (FOCUS=own).
    [[ ${FOCUS:-} == own ]] ||
        xdotool windowfocus --sync "$WINDOW" 2>/dev/null || fail "the window could not take the focus"
}
window_found()
{
    WINDOW=$(timeout 5 xdotool search --onlyvisible --name '^Kalvio ver 1\.1$' 2>/dev/null | head -n 1)
    [[ -n $WINDOW ]] || running || abort "the viewer ended (status $STATUS) before its window appeared"
    [[ -n $WINDOW ]]
}
# The client area begins at the window's left edge, on the first row below the
# menu bar that has the window's background colour (none while the menu bar is
# not drawn yet).
client_found()
{
    local X=0 Y=0 row
    eval "$(xdotool getwindowgeometry --shell "$WINDOW" | grep -E '^[XY]=[0-9]+$')"
    for ((row = Y; row < Y + 80; ++row)); do
        same "$(pixel $((X + 5)) "$row")" "$BACKGROUND" && ((row > Y)) && { CX=$X CY=$row; return 0; }
    done
    WHY="no row of background colour below the window's top at $X,$Y"
    return 1
}

# ends_by WHAT: the viewer ends within 10 s, with status 0.
ends_by()
{
    if ! poll 10 ended; then
        fail "the program still runs 10 s after $1"
    elif ((STATUS == 0)); then
        pass "$1 ends the program with status 0"
    else
        fail "$1 ends the program with status $STATUS, not 0"
    fi
}

# A screenshot of the whole screen as raw RGB, and "R G B" of one of its pixels.
shot() { xwd -root -silent | convert xwd:- -depth 8 "rgb:$TMP/shot.rgb" 2>/dev/null; }
# keep NAME: the last screenshot is kept as NAME.png in $KALVIO_SCREENSHOTS
# when that is set (ctest sets it to the build's screenshots/), for a person
# to see what the checks saw.
keep()
{
    [[ -n ${KALVIO_SCREENSHOTS:-} ]] || return 0
    if ! mkdir -p "$KALVIO_SCREENSHOTS" ||
        ! convert -size "${W}x${H}" -depth 8 "rgb:$TMP/shot.rgb" "$KALVIO_SCREENSHOTS/$1.png"; then
        fail "could not keep the screenshot $1"
    fi
}
pixel()
{
    local r g b
    read -r r g b < <(od -An -v -tu1 -j $((($2 * W + $1) * 3)) -N3 "$TMP/shot.rgb")
    echo "$r $g $b"
}
px() { echo $((($1 * 2 + 15) / 30)); }
at() { pixel $((CX + $(px "$1"))) $((CY + $(px "$2"))); }
click() { xdotool mousemove --sync $((CX + $(px "$1"))) $((CY + $(px "$2"))) click 1 || fail "no click at $1,$2"; }

# The full-screen window, found by its title into FULL, or gone.
FULL=''
full_found() { FULL=$(timeout 5 xdotool search --onlyvisible --name '^Kalvio – celá obrazovka$' 2>/dev/null | head -n 1); [[ -n $FULL ]]; }
full_gone() { ! full_found; }
# middle_shows N: the middle of the screen has picture N's colour.
middle_shows()
{
    local seen
    seen=$(pixel $((W / 2)) $((H / 2)))
    same "$seen" "${COLOURS[$1]}" || WHY+=" the middle is $seen, not picture $1 (${COLOURS[$1]});"
    [[ -z $WHY ]]
}

# same "R G B" "R G B": no channel differs by more than TOL.
same()
{
    # shellcheck disable=SC2086 # splits both colours into six numbers
    set -- $1 $2
    (($# == 6)) && (((($1 - $4) ** 2 <= TOL ** 2) && (($2 - $5) ** 2 <= TOL ** 2) && (($3 - $6) ** 2 <= TOL ** 2)))
}

# is TX TY "R G B": the screenshot shows that colour there; WHY tells otherwise.
is()
{
    local seen
    seen=$(at "$1" "$2")
    same "$seen" "$3" || WHY+=" ($1,$2) is $seen, not $3;"
}

# check SECONDS TEXT CMD...: PASS once CMD holds on a fresh screenshot (CMD
# adds what it found wrong to WHY), FAIL otherwise.
check()
{
    local seconds=$1 text=$2
    shift 2
    if poll "$seconds" seen "$@"; then pass "$text"; else fail "$text:${WHY:- not seen}"; fi
}
seen()
{
    running || abort "the viewer ended (status $STATUS)"
    WHY=' no screenshot'
    shot && WHY='' && "$@"
}

# The corner of frame i of the 6 x 4 grid, and strip_is i "R G B": a point of
# its caption strip, clear of the caption text, has that colour.
fx() { echo $((2200 + 2050 * ($1 % 6))); }
fy() { echo $((100 + 2010 * ($1 / 6))); }
strip_is() { is $(($(fx "$1") + 60)) $(($(fy "$1") + 1800)) "$2"; }

# Picture n (from 0) has colour COLOURS[n]: any two differ by at least 60 in
# some channel, and none is near the window's own colours.
COLOURS=()
for n in {0..29}; do COLOURS+=("$((n % 3 == 0 ? 20 : n % 3 == 1 ? 100 : 200)) $((10 + 60 * (n / 3 % 5))) $((60 + 100 * (n / 15)))"); done

# make_pictures FOLDER COUNT: P01.BMP, P02.BMP, ... of 64 x 48 pixels in
# colours 0, 1, ...; 24-bit BMP keeps every colour exact.
make_pictures()
{
    mkdir -p "$1"
    for ((n = 0; n < $2; ++n)); do
        convert -size 64x48 "xc:rgb(${COLOURS[n]// /,})" -type TrueColor "BMP3:$(printf '%s/P%02d.BMP' "$1" $((n + 1)))" ||
            abort "could not write picture $n"
    done
}

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

# picture_at CELL: the picture whose colour the centre of the cell's box
# shows, "empty" for an empty box, or "other R G B".
picture_at()
{
    local rgb n
    rgb=$(at $(($(fx "$1") + 1000)) $(($(fy "$1") + 850)))
    for n in "${!COLOURS[@]}"; do same "$rgb" "${COLOURS[n]}" && { echo "$n"; return; }; done
    if same "$rgb" "$EMPTY_BOX"; then echo empty; else echo "other $rgb"; fi
}

# cells_show FIRST COUNT LAST: cells 0..COUNT-1 show pictures FIRST.. in
# order, cells COUNT..LAST are empty boxes.
cells_show()
{
    local cell want seen
    for ((cell = 0; cell <= $3; ++cell)); do
        want=empty
        ((cell < $2)) && want=$(($1 + cell))
        seen=$(picture_at $cell)
        [[ $seen == "$want" ]] || WHY+=" cell $cell: $seen, not $want;"
    done
    [[ -z $WHY ]]
}
