#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# Ctrl+O's folder chooser, and a whole session, write nothing: the viewer runs
# with a HOME of its own (the XDG folders and the session bus unset, so all
# under it), opens the chooser "Otevřít složku", Escape closes it, Ctrl+O
# again, Down and Enter choose the next folder, whose pictures it shows, and
# Ctrl+Q ends it; then nothing may be under HOME. (Qt's own file dialog saved
# its history into ~/.config/QtProject.conf, and where no session bus ran,
# libdbus started one through dbus-launch, which wrote ~/.dbus.)
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"

DIALOG=''
chooser_shown() { DIALOG=$(timeout 5 xdotool search --onlyvisible --name '^Otevřít složku$' 2>/dev/null | head -n 1); [[ -n $DIALOG ]]; }
chooser_gone() { ! chooser_shown; }
# open_chooser: Ctrl+O in the window, and the keys to the chooser once it shows.
open_chooser()
{
    xdotool windowfocus --sync "$WINDOW" key ctrl+o 2>/dev/null || fail "no Ctrl+O"
    poll 20 chooser_shown || abort "no window \"Otevřít složku\" after Ctrl+O"
    pass "Ctrl+O opens the chooser \"Otevřít složku\""
    xdotool windowfocus --sync "$DIALOG" 2>/dev/null || fail "the chooser could not take the focus"
}

make_pictures "$TMP/photos/a" 5
make_pictures "$TMP/photos/b" 3
mkdir -m 700 "$TMP/home"
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME DBUS_SESSION_BUS_ADDRESS
start_xvfb
HOME=$TMP/home start_kalvio "$TMP" "$TMP/photos/a"
check 30 "folder a shows its 5 pictures" cells_show 0 5 23

open_chooser
xdotool key Escape
if poll 10 chooser_gone; then pass "Escape closes the chooser"; else fail "the chooser is still open after Escape"; fi
check 10 "folder a is still shown" cells_show 0 5 23

# The chooser starts at folder a; Down goes to the next folder, b.
open_chooser
xdotool key Down Return
check 30 "Down and Enter open folder b: its 3 pictures" cells_show 0 3 23
chooser_gone || fail "the chooser is still open after Enter"

xdotool windowfocus --sync "$WINDOW" key ctrl+q 2>/dev/null || fail "no Ctrl+Q"
ends_by "Ctrl+Q"
written=$(find "$TMP/home" -mindepth 1)
if [[ -z $written ]]; then pass "nothing was written under HOME"; else fail "written under HOME: ${written//$'\n'/ }"; fi
finish
