#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# The command line: --help and --version print and end without a display; a
# path that is not there, an unknown option or two paths are refused with
# status 2, in Czech, and no window; a folder is shown itself; a picture opens enlarged
# on its own page.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"

# refused WHAT ARGUMENT...: status 2, a message on stderr ending in the Czech
# pointer to --help, nothing on stdout.
refused()
{
    local what=$1 out rc=0
    shift
    out=$(env -u DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$KALVIO" "$@" 2>"$TMP/err") || rc=$?
    if ((rc == 2)) && [[ -z $out && $(<"$TMP/err") == kalvio:*$'\n''Více informací získáte příkazem „kalvio --help“.' ]]; then
        pass "$what is refused with status 2: $(head -n 1 "$TMP/err")"
    else
        fail "$what: status $rc, stdout '$out', stderr '$(<"$TMP/err")'"
    fi
}

out=$(env -u DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$KALVIO" --version) && [[ $out == "kalvio 1.1" ]] &&
    pass "--version prints \"$out\" without a display" || fail "--version: '$out'"
out=$(env -u DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$KALVIO" --help) && [[ $out == "Použití: kalvio "* ]] &&
    pass "--help prints its usage in Czech without a display" || fail "--help: '$out'"
refused "a path that does not exist" "$TMP/nothing here"
refused "an unknown option" --colour
refused "--fullscreen without a picture" --fullscreen
mkdir -p "$TMP/empty"
refused "two paths" "$TMP/empty" "$TMP/empty"

# A folder named on the command line is shown itself, not its first
# subfolder with files, whatever the current directory.
make_pictures "$TMP/top" 5
make_pictures "$TMP/top/sub" 3
start_xvfb
start_kalvio "$TMP/empty" "$TMP/top"
check 30 "a folder argument shows that folder's 5 pictures" cells_show 0 5 23
stop "$KPID"
KPID=''

# A picture the file list would not show (photo.jpeg: the list shows .JPG,
# .BMP and .GIF) is refused with status 2, in Czech on stderr and, as a
# desktop launch has no terminal, in a message box that waits for OK.
convert -size 8x8 xc:red "$TMP/empty/photo.jpeg" || abort "could not write photo.jpeg"
(exec timeout -k 5 60 env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$TMP/run" "$KALVIO" "$TMP/empty/photo.jpeg") \
    2>"$TMP/err" &
KPID=$!
box_found() { BOX=$(timeout 5 xdotool search --onlyvisible --name '^Kalvio$' 2>/dev/null | head -n 1); [[ -n $BOX ]]; }
if poll 20 box_found && running; then
    pass "photo.jpeg is refused in a message box, and the program waits for it"
    xdotool windowfocus --sync "$BOX" key Return 2>/dev/null
else
    fail "no message box \"Kalvio\" for photo.jpeg"
fi
if poll 10 ended && ((STATUS == 2)) && grep -q "photo.jpeg.*s příponou .JPG, .BMP nebo .GIF" "$TMP/err"; then
    pass "OK ends it with status 2; stderr: $(head -n 1 "$TMP/err")"
else
    fail "photo.jpeg: status ${STATUS:-none}, stderr '$(<"$TMP/err")'"
fi
stop "$KPID"
KPID=''

# A picture: its page (the second of 30 pictures), the picture enlarged.
make_pictures "$TMP/many" 30
start_kalvio "$TMP/empty" "$TMP/many/P27.BMP"
check 30 "a picture argument opens picture 26 enlarged" view_open 26
xdotool key Escape
check 20 "under it, the second page: pictures 24 to 29" cells_show 24 6 23
finish
