# shellcheck shell=bash disable=SC2034 # the layout and colour names are used by the scripts that source this file
# Shared functions of the end-to-end tests. Each test script sources this file,
# then starts the viewer in an X server of its own and checks what the real
# window shows by the pixels of screenshots.
#
#   source lib.sh; e2e_init "$@"      the path of kalvio, a temporary folder, the EXIT trap
#   e2e_make_pictures FOLDER COUNT    P01.BMP, P02.BMP, ... of distinct solid colours
#   e2e_start_xvfb                    an X server on a free display, DISPLAY set
#   e2e_start_kalvio FOLDER           the viewer started in FOLDER, its window found
#   e2e_find_client                   the client area's corner on the screen, below the menu bar
#   e2e_shot; e2e_pixel X Y           a screenshot, and "R G B" of one screen pixel
#   e2e_client_pixel TX TY            "R G B" at a point in twips of the client area
#   e2e_picture_at CELL               which picture a cell of the grid shows
#   e2e_wait_for SECONDS TEXT FN ...  screenshots until FN succeeds, bounded
#   e2e_check_client TEXT TX TY RGB   PASS or FAIL for the colour of one point
#   e2e_click TX TY                   a left click at a point in twips of the client area
#   e2e_pass / e2e_fail / e2e_finish  the PASS and FAIL lines and the exit status
#
# Set E2E_SHOTS to a folder to keep the screenshot of every failure there.
# Run by itself (bash lib.sh /path/to/kalvio) the file checks its own tools:
# see e2e_self_check at the end.

set -u

E2E_SCREEN_WIDTH=1280
E2E_SCREEN_HEIGHT=1024
E2E_TITLE='Kalvio ver 1.1'
# The window's own background and the two looks of a frame.
E2E_BACKGROUND='156 194 217'
E2E_MID_GREY='128 128 128'
E2E_LIGHT_GREY='180 180 180'
# An empty picture box shows its own background, the button face.
E2E_EMPTY_BOX='240 240 240'
# Largest difference per channel still taken as the same colour.
E2E_TOLERANCE=8

E2E_FAILURES=0
E2E_TMP=''
E2E_XVFB_PID=''
E2E_KALVIO_PID=''
E2E_KALVIO_STATUS=''
E2E_WINDOW=''
E2E_CLIENT_X=0
E2E_CLIENT_Y=0
E2E_STARTED=$SECONDS
# Every wait ends by this time, so that a script takes about a minute at most
# whatever goes wrong; the X server and the viewer end by themselves after
# E2E_LIFETIME seconds even if the script is killed.
E2E_DEADLINE=$((SECONDS + 60))
E2E_LIFETIME=180
E2E_STARTED_US=${EPOCHREALTIME/[.,]/}

e2e_log() { printf '%s\n' "$*"; }

# Seconds since the test started, to a tenth, for the PASS and FAIL lines.
e2e_elapsed()
{
    local now=${EPOCHREALTIME/[.,]/}
    local tenths=$(((now - E2E_STARTED_US) / 100000))
    printf '%d.%d s' $((tenths / 10)) $((tenths % 10))
}

e2e_pass() { printf 'PASS: %s [%s]\n' "$*" "$(e2e_elapsed)"; }

e2e_fail()
{
    printf 'FAIL: %s [%s]\n' "$*" "$(e2e_elapsed)"
    e2e_save_shot "failure-$((E2E_FAILURES + 1))"
    E2E_FAILURES=$((E2E_FAILURES + 1))
}

# Ends the test at once: for a step without which nothing else can be checked.
e2e_abort()
{
    e2e_fail "$*"
    e2e_finish
}

e2e_finish()
{
    local elapsed=$((SECONDS - E2E_STARTED))
    if ((E2E_FAILURES == 0)); then
        e2e_log "ALL PASSED (${elapsed} s)"
        exit 0
    fi
    local log
    for log in kalvio xvfb; do
        if [[ -n $E2E_TMP && -s $E2E_TMP/$log.log ]]; then
            e2e_log "--- output of $log ---"
            cat "$E2E_TMP/$log.log"
        fi
    done
    e2e_log "${E2E_FAILURES} FAILED (${elapsed} s)"
    exit 1
}

# e2e_save_shot NAME: when E2E_SHOTS names a folder, keeps the last
# screenshot there as <test>-NAME.png, for looking at a failure afterwards.
e2e_save_shot()
{
    [[ -n ${E2E_SHOTS:-} && -n $E2E_TMP && -f $E2E_TMP/shot.rgb ]] || return 0
    mkdir -p "$E2E_SHOTS" &&
        convert -size "${E2E_SCREEN_WIDTH}x${E2E_SCREEN_HEIGHT}" -depth 8 "rgb:$E2E_TMP/shot.rgb" \
            "$E2E_SHOTS/$(basename "$0" .sh)-$1.png" 2>/dev/null
    return 0
}

# e2e_stop PID: ends a process this script started, first asking, then by force.
e2e_stop()
{
    local pid=$1
    [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null || return 0
    kill "$pid" 2>/dev/null
    for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

e2e_cleanup()
{
    e2e_stop "$E2E_KALVIO_PID"
    e2e_stop "$E2E_XVFB_PID"
    if [[ -n $E2E_TMP && -d $E2E_TMP ]]; then
        rm -rf -- "$E2E_TMP"
    fi
}

# e2e_init KALVIO: checks the program and the tools, makes the temporary folder.
e2e_init()
{
    if (($# < 1)); then
        e2e_log "usage: bash $0 /path/to/kalvio"
        exit 2
    fi
    E2E_KALVIO=$(readlink -f -- "$1")
    if [[ ! -x $E2E_KALVIO ]]; then
        e2e_log "FAIL: no program at $1"
        exit 1
    fi
    local tool missing=()
    for tool in Xvfb xdotool xwd convert od timeout ps; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    if ((${#missing[@]})); then
        e2e_log "FAIL: missing tools: ${missing[*]} (scripts/setup.sh installs them)"
        exit 1
    fi
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/kalvio-e2e.XXXXXX") || exit 1
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
}

# Starts Xvfb on the first free display from :90 upward. A display whose lock
# or socket exists belongs to someone else. The server is ours once the
# display answers and its lock file names our server's process: another
# server that took the display between the check and the start makes ours
# stop at once, and the next display is tried.
e2e_start_xvfb()
{
    local display waited owner
    for display in $(seq 90 140); do
        [[ -e /tmp/.X${display}-lock || -e /tmp/.X11-unix/X${display} ]] && continue
        # Under timeout, so that the server ends even if this script is killed
        # before its EXIT trap can run.
        timeout -k 5 "$E2E_LIFETIME" Xvfb ":$display" -screen 0 "${E2E_SCREEN_WIDTH}x${E2E_SCREEN_HEIGHT}x24" \
            -dpi 96 -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
        E2E_XVFB_PID=$!
        for ((waited = 0; waited < 100; ++waited)); do
            kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
            owner=$(tr -dc '0-9' 2>/dev/null <"/tmp/.X${display}-lock")
            if [[ -n $owner && $(ps -o ppid= -p "$owner" 2>/dev/null | tr -dc '0-9') == "$E2E_XVFB_PID" ]] &&
                DISPLAY=":$display" e2e_x_answers; then
                export DISPLAY=":$display"
                unset XAUTHORITY
                e2e_log "X server on $DISPLAY"
                return 0
            fi
            sleep 0.1
        done
        e2e_stop "$E2E_XVFB_PID"
        E2E_XVFB_PID=''
    done
    e2e_abort "no X server could be started on :90 to :140"
}

# e2e_make_picture FILE R G B: a 64 x 48 picture of one colour, as a 24-bit
# BMP so that every pixel keeps its exact colour.
e2e_make_picture()
{
    convert -size 64x48 "xc:rgb($2,$3,$4)" -type TrueColor "BMP3:$1" ||
        e2e_abort "could not write the picture $1"
}

# True when the X server of DISPLAY answers a request within 3 s.
e2e_x_answers() { timeout 3 xdotool getdisplaygeometry >/dev/null 2>&1; }

# e2e_launch_kalvio FOLDER: one start of the viewer. Returns 0 when its window
# appeared, 1 when the viewer ended first, 2 when no window came within 20 s.
e2e_launch_kalvio()
{
    local folder=$1 limit=$((SECONDS + 20))
    mkdir -p "$E2E_TMP/runtime" && chmod 700 "$E2E_TMP/runtime"
    # timeout passes on the signals of the cleanup and the program's exit
    # status, and ends the program even if this script is killed.
    (
        cd "$folder" || exit 97
        exec timeout -k 5 "$E2E_LIFETIME" env -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS \
            QT_QPA_PLATFORM=xcb QT_ENABLE_HIGHDPI_SCALING=0 XDG_RUNTIME_DIR="$E2E_TMP/runtime" "$E2E_KALVIO"
    ) >"$E2E_TMP/kalvio.log" 2>&1 &
    E2E_KALVIO_PID=$!
    while :; do
        E2E_WINDOW=$(timeout 5 xdotool search --onlyvisible --name "^${E2E_TITLE//./\\.}\$" 2>/dev/null | head -n 1)
        [[ -n $E2E_WINDOW ]] && return 0
        e2e_kalvio_running || return 1
        ((SECONDS < limit)) || return 2
        sleep 0.1
    done
}

# e2e_start_kalvio FOLDER: runs the viewer with FOLDER as its current
# directory and waits (bounded) for its window to appear. When the viewer
# could not reach the X server, the server is replaced and the start tried
# once more: that is a fault of the test machine, not of the viewer.
e2e_start_kalvio()
{
    local attempt result
    for attempt in 1 2; do
        e2e_launch_kalvio "$1"
        result=$?
        if ((result == 0)); then
            e2e_pass "window \"$E2E_TITLE\" appeared (id $E2E_WINDOW)"
            return 0
        fi
        if ((result == 1 && attempt == 1)) &&
            { ! e2e_x_answers || grep -q 'could not connect to display' "$E2E_TMP/kalvio.log"; }; then
            e2e_log "NOTE: the viewer could not reach the X server on $DISPLAY; starting a new one and trying again"
            e2e_stop "$E2E_XVFB_PID"
            E2E_XVFB_PID=''
            e2e_start_xvfb
            continue
        fi
        break
    done
    if ((result == 1)); then
        e2e_abort "the viewer ended (status $E2E_KALVIO_STATUS) before its window appeared"
    fi
    e2e_abort "no window named \"$E2E_TITLE\" within 20 s"
}

# True while the viewer runs; when it has ended, its exit status is kept in
# E2E_KALVIO_STATUS.
e2e_kalvio_running()
{
    [[ -n $E2E_KALVIO_PID ]] || return 1
    if kill -0 "$E2E_KALVIO_PID" 2>/dev/null; then
        return 0
    fi
    wait "$E2E_KALVIO_PID" 2>/dev/null
    E2E_KALVIO_STATUS=$?
    E2E_KALVIO_PID=''
    return 1
}

# e2e_wait_for_exit SECONDS: true when the viewer ended within SECONDS.
e2e_wait_for_exit()
{
    local limit=$((SECONDS + $1))
    ((limit > E2E_DEADLINE)) && limit=$E2E_DEADLINE
    while e2e_kalvio_running; do
        ((SECONDS >= limit)) && return 1
        sleep 0.1
    done
    return 0
}

# Takes a screenshot of the whole screen as raw RGB bytes, three a pixel.
e2e_shot()
{
    xwd -root -silent | convert xwd:- -depth 8 "rgb:$E2E_TMP/shot.rgb.part" 2>/dev/null &&
        mv -f "$E2E_TMP/shot.rgb.part" "$E2E_TMP/shot.rgb"
}

# e2e_pixel X Y: "R G B" of a screen pixel of the last screenshot.
e2e_pixel()
{
    local x=$1 y=$2
    if ((x < 0 || y < 0 || x >= E2E_SCREEN_WIDTH || y >= E2E_SCREEN_HEIGHT)); then
        echo "off-screen"
        return
    fi
    local rgb
    rgb=$(od -An -v -tu1 -j $(((y * E2E_SCREEN_WIDTH + x) * 3)) -N3 "$E2E_TMP/shot.rgb" 2>/dev/null)
    # shellcheck disable=SC2086 # splits the three numbers
    set -- $rgb
    if (($# == 3)); then echo "$1 $2 $3"; else echo "unreadable"; fi
}

# e2e_same_colour "R G B" "R G B": true when no channel differs by more than
# the tolerance.
e2e_same_colour()
{
    # shellcheck disable=SC2086 # splits both colours into their six numbers
    set -- $1 $2
    (($# == 6)) || return 1
    local d1=$(($1 - $4)) d2=$(($2 - $5)) d3=$(($3 - $6))
    ((d1 <= E2E_TOLERANCE && -d1 <= E2E_TOLERANCE && d2 <= E2E_TOLERANCE && -d2 <= E2E_TOLERANCE &&
        d3 <= E2E_TOLERANCE && -d3 <= E2E_TOLERANCE))
}

# Twips to whole pixels, rounded to the nearest.
e2e_px() { echo $((($1 * 2 + 15) / 30)); }

# Screen position of a client point given in twips.
e2e_screen_x() { echo $((E2E_CLIENT_X + $(e2e_px "$1"))); }
e2e_screen_y() { echo $((E2E_CLIENT_Y + $(e2e_px "$1"))); }

# e2e_client_pixel TX TY: "R G B" of the last screenshot at a client point.
e2e_client_pixel() { e2e_pixel $((E2E_CLIENT_X + ($1 * 2 + 15) / 30)) $((E2E_CLIENT_Y + ($2 * 2 + 15) / 30)); }

# e2e_region_summaries "TX TY TW TH" ...: for each client rectangle of the
# last screenshot, one line "N R G B": its number of distinct colours and the
# colour of its top-left pixel. One call of convert for all of them.
e2e_region_summaries()
{
    local -a crops=()
    local rect x y w h
    for rect in "$@"; do
        read -r x y w h <<<"$rect"
        crops+=('(' mpr:shot -crop "$(e2e_px "$w")x$(e2e_px "$h")+$(e2e_screen_x "$x")+$(e2e_screen_y "$y")" +repage ')')
    done
    convert -size "${E2E_SCREEN_WIDTH}x${E2E_SCREEN_HEIGHT}" -depth 8 "rgb:$E2E_TMP/shot.rgb" -write mpr:shot +delete \
        "${crops[@]}" \
        -format '%k %[fx:int(255*p{0,0}.r+0.5)] %[fx:int(255*p{0,0}.g+0.5)] %[fx:int(255*p{0,0}.b+0.5)]\n' info: \
        2>/dev/null
}

# e2e_click TX TY: moves the pointer to a client point and clicks the left
# button there.
e2e_click()
{
    xdotool mousemove --sync "$(e2e_screen_x "$1")" "$(e2e_screen_y "$2")" click 1 ||
        e2e_fail "xdotool could not click at ($1, $2) twips"
}

# e2e_wait_for SECONDS TEXT FN [ARGS]: takes screenshots until FN succeeds or
# SECONDS have passed. FN leaves what it found wrong in E2E_WHY. Prints PASS
# or FAIL with TEXT; returns FN's last result.
E2E_WHY=''
e2e_wait_for()
{
    local seconds=$1 text=$2
    shift 2
    local limit=$((SECONDS + seconds))
    ((limit > E2E_DEADLINE)) && limit=$E2E_DEADLINE
    while :; do
        E2E_WHY='no screenshot could be taken'
        if e2e_shot; then
            E2E_WHY=''
            if "$@"; then
                e2e_pass "$text"
                return 0
            fi
        fi
        if ! e2e_kalvio_running; then
            local server='the X server still runs'
            kill -0 "$E2E_XVFB_PID" 2>/dev/null || server='the X server has ended too'
            e2e_fail "$text: the viewer ended (status ${E2E_KALVIO_STATUS}; $server) ${E2E_WHY}"
            return 1
        fi
        if ((SECONDS >= limit)); then
            e2e_fail "$text (not within ${seconds} s or the test's minute): ${E2E_WHY:-not seen}"
            return 1
        fi
        sleep 0.2
    done
}

# Finds the client area's top-left corner on the screen: the window's left
# edge, and below the menu bar the first row, scanned down 5 pixels right of
# the window's left edge, that has the window's background colour.
e2e_client_found()
{
    local geometry X=0 Y=0 WIDTH=0 HEIGHT=0 row
    geometry=$(xdotool getwindowgeometry --shell "$E2E_WINDOW" 2>/dev/null) || {
        E2E_WHY='no window geometry'
        return 1
    }
    eval "$(grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9-]+$' <<<"$geometry")"
    for ((row = Y; row < Y + 80 && row < Y + HEIGHT; ++row)); do
        if e2e_same_colour "$(e2e_pixel $((X + 5)) "$row")" "$E2E_BACKGROUND"; then
            E2E_CLIENT_X=$X
            E2E_CLIENT_Y=$row
            return 0
        fi
    done
    E2E_WHY="no row of the window's background below the menu bar (window at $X,$Y ${WIDTH}x${HEIGHT})"
    return 1
}

e2e_find_client()
{
    e2e_wait_for 15 "client area found below the menu bar" e2e_client_found || e2e_finish
    e2e_log "client area at ${E2E_CLIENT_X},${E2E_CLIENT_Y}"
}

# ---- The window's layout, in twips of the client area ----

# Frame i of the grid: its left and top edge.
E2E_FRAME_LEFT=()
E2E_FRAME_TOP=()
for ((e2e_i = 0; e2e_i < 24; ++e2e_i)); do
    E2E_FRAME_LEFT+=($((2200 + 2050 * (e2e_i % 6))))
    E2E_FRAME_TOP+=($((100 + 2010 * (e2e_i / 6))))
done
unset e2e_i
e2e_frame_left() { echo "${E2E_FRAME_LEFT[$1]}"; }
e2e_frame_top() { echo "${E2E_FRAME_TOP[$1]}"; }
# The centre of the picture box of cell i.
e2e_box_centre_x() { echo $(($(e2e_frame_left "$1") + 100 + 900)); }
e2e_box_centre_y() { echo $(($(e2e_frame_top "$1") + 100 + 750)); }
# A point of frame i's caption strip near its left edge, below the picture box
# and clear of the centred caption text.
e2e_caption_strip_x() { echo $(($(e2e_frame_left "$1") + 60)); }
e2e_caption_strip_y() { echo $(($(e2e_frame_top "$1") + 1800)); }

# The controls below the grid (centres).
E2E_EXIT_X=$((12450 + (2000 - 1590) / 2 + 1590 / 2))
E2E_EXIT_Y=$((8330 + 765 / 2))
E2E_BACK_X=$((7750 + 1290 / 2))
E2E_BACK_Y=$((8330 + 840 / 2))
E2E_FORWARD_X=$((9390 + 1290 / 2))
E2E_FORWARD_Y=$((8330 + 840 / 2))

# The enlarged view and its two stepping images (centres).
E2E_VIEW_LEFT=4325
E2E_VIEW_TOP=160
E2E_VIEW_CENTRE_X=$((4325 + 8000 / 2))
E2E_VIEW_CENTRE_Y=$((160 + 7900 / 2))
E2E_NEXT_PICTURE_X=$((4325 + 8000 - 1290 - 100 + 1290 / 2))
E2E_NEXT_PICTURE_Y=$((160 + 7900 - 840 - 300 + 840 / 2))

# ---- Pictures of distinct colours ----

# The colours "R G B" of pictures 0 to 29. Every two colours differ by at
# least 60 in some channel, and none is near the window background, the greys
# of the frames or the empty box.
E2E_COLOURS=()
for ((e2e_n = 0; e2e_n < 30; ++e2e_n)); do
    e2e_reds=(20 100 200)
    e2e_greens=(10 70 130 190 250)
    e2e_blues=(60 160)
    E2E_COLOURS+=("${e2e_reds[e2e_n % 3]} ${e2e_greens[(e2e_n / 3) % 5]} ${e2e_blues[e2e_n / 15]}")
done
unset e2e_n e2e_reds e2e_greens e2e_blues

# e2e_colour_of N: the colour of picture N.
e2e_colour_of() { echo "${E2E_COLOURS[$1]}"; }

# e2e_make_pictures FOLDER COUNT: P01.BMP, P02.BMP, ... in list order, picture
# N (from 0) in e2e_colour_of N.
e2e_make_pictures()
{
    local folder=$1 count=$2 n
    mkdir -p "$folder"
    for ((n = 0; n < count; ++n)); do
        # shellcheck disable=SC2046 # the colour's three numbers
        e2e_make_picture "$(printf '%s/P%02d.BMP' "$folder" $((n + 1)))" $(e2e_colour_of "$n")
    done
}

# e2e_picture_at CELL: the number of the picture whose colour cell CELL's box
# shows at its centre, "empty" for the empty box, or "other R G B".
e2e_picture_at()
{
    local cell=$1 rgb n
    rgb=$(e2e_client_pixel $((E2E_FRAME_LEFT[cell] + 1000)) $((E2E_FRAME_TOP[cell] + 850)))
    for ((n = 0; n < ${#E2E_COLOURS[@]}; ++n)); do
        if e2e_same_colour "$rgb" "${E2E_COLOURS[n]}"; then
            echo "$n"
            return
        fi
    done
    if e2e_same_colour "$rgb" "$E2E_EMPTY_BOX"; then
        echo empty
    else
        echo "other $rgb"
    fi
}

# e2e_check_client TEXT TX TY "R G B": PASS when the client point of the last
# screenshot shows that colour, FAIL with the colour seen otherwise.
e2e_check_client()
{
    local seen
    seen=$(e2e_client_pixel "$2" "$3")
    if e2e_same_colour "$seen" "$4"; then
        e2e_pass "$1 ($4 at $2,$3 twips)"
    else
        e2e_fail "$1: ($2,$3 twips) is $seen, not $4"
    fi
}

# e2e_client_matches TX TY "R G B": a condition for e2e_wait_for.
e2e_client_matches()
{
    local seen
    seen=$(e2e_client_pixel "$1" "$2")
    E2E_WHY="($1,$2 twips) is $seen, not $3"
    e2e_same_colour "$seen" "$3"
}

# ---- Run by itself, the file checks the ground the scripts stand on ----
#
#   bash tests/e2e/lib.sh /path/to/kalvio
#
# The picture colours are told apart from each other and from the window's
# own colours; a generated picture holds exactly its colour; and a screenshot
# read through e2e_pixel gives the exact colour at the exact pixel, so that a
# failure of a script points at the viewer and not at the tools.
e2e_self_check()
{
    local a b colour ui
    for ((a = 0; a < ${#E2E_COLOURS[@]}; ++a)); do
        for ((b = a + 1; b < ${#E2E_COLOURS[@]}; ++b)); do
            E2E_TOLERANCE=$((2 * E2E_TOLERANCE)) e2e_same_colour "${E2E_COLOURS[a]}" "${E2E_COLOURS[b]}" &&
                e2e_fail "pictures $a and $b have colours too close to tell apart"
        done
        for ui in "$E2E_BACKGROUND" "$E2E_MID_GREY" "$E2E_LIGHT_GREY" "$E2E_EMPTY_BOX"; do
            E2E_TOLERANCE=$((2 * E2E_TOLERANCE)) e2e_same_colour "${E2E_COLOURS[a]}" "$ui" &&
                e2e_fail "picture $a's colour is too close to the window's $ui"
        done
    done
    ((E2E_FAILURES == 0)) && e2e_pass "the ${#E2E_COLOURS[@]} picture colours are distinct from each other and the window's"

    e2e_make_pictures "$E2E_TMP/pictures" 30
    for ((a = 0; a < 30; a += 7)); do
        local file
        file=$(printf '%s/P%02d.BMP' "$E2E_TMP/pictures" $((a + 1)))
        colour=$(convert "$file" -format '%w %h %[fx:int(255*p{32,24}.r+0.5)] %[fx:int(255*p{32,24}.g+0.5)] %[fx:int(255*p{32,24}.b+0.5)]' info: 2>/dev/null)
        if [[ $colour == "64 48 ${E2E_COLOURS[a]}" ]]; then
            e2e_pass "picture $a is 64 x 48 in ${E2E_COLOURS[a]}"
        else
            e2e_fail "picture $a reads back as \"$colour\", not 64 x 48 in ${E2E_COLOURS[a]}"
        fi
    done

    # The root window gets a picture with a corner at (301, 203): its pixels
    # on either side of that corner tell both position and channel order.
    e2e_start_xvfb
    convert -size "${E2E_SCREEN_WIDTH}x${E2E_SCREEN_HEIGHT}" "xc:rgb(10,20,30)" -fill "rgb(200,100,50)" \
        -draw "rectangle 301,203 $((E2E_SCREEN_WIDTH - 1)),$((E2E_SCREEN_HEIGHT - 1))" -type TrueColor \
        "BMP3:$E2E_TMP/root.bmp" && timeout 10 display -window root "$E2E_TMP/root.bmp" >/dev/null 2>&1
    e2e_shot || e2e_fail "no screenshot of $DISPLAY"
    local expected point
    for point in "300 203 10 20 30" "301 202 10 20 30" "301 203 200 100 50" "0 0 10 20 30" \
        "$((E2E_SCREEN_WIDTH - 1)) $((E2E_SCREEN_HEIGHT - 1)) 200 100 50"; do
        read -r a b expected <<<"$point"
        colour=$(e2e_pixel "$a" "$b")
        if [[ $colour == "$expected" ]]; then
            e2e_pass "screen pixel ($a, $b) reads $colour"
        else
            e2e_fail "screen pixel ($a, $b) reads $colour, not $expected"
        fi
    done
    e2e_finish
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    e2e_init "$@"
    e2e_self_check
fi
