#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# The desktop's shared thumbnails, as a file manager leaves them under
# $XDG_CACHE_HOME/thumbnails/normal, are read for the cells, but only one that
# is of the file (its URI) as it is now (its modification time) and decodes;
# and the session writes nothing: it runs under strace, which sees no file
# opened for writing, made, renamed, linked or removed anywhere.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"

# JPEGs of one colour each, without thumbnails of their own.
mkdir -p "$TMP/photos" "$TMP/cache/thumbnails/normal"
for ((n = 0; n < 5; ++n)); do
    convert -size 64x48 "xc:rgb(${COLOURS[n]// /,})" -quality 100 -sampling-factor 1x1 \
        "$(printf '%s/P%02d.JPG' "$TMP/photos" $((n + 1)))" || abort "could not write picture $n"
done
# shared FILE URI MTIME: a file manager's thumbnail of FILE, in colour 9,
# saying it is of URI as modified at MTIME.
shared()
{
    local name
    name=$(printf '%s' "file://$1" | md5sum | cut -d' ' -f1)
    convert -size 128x96 "xc:rgb(${COLOURS[9]// /,})" -set Thumb::URI "$2" -set Thumb::MTime "$3" \
        "PNG:$TMP/cache/thumbnails/normal/$name.png" || abort "could not write the thumbnail of $1"
    echo "$TMP/cache/thumbnails/normal/$name.png"
}
photo() { printf '%s/P%02d.JPG' "$TMP/photos" "$1"; }
mtime() { stat -c %Y "$1"; }
shared "$(photo 1)" "file://$(photo 1)" "$(mtime "$(photo 1)")" >/dev/null
shared "$(photo 2)" "file://$(photo 2)" $(($(mtime "$(photo 2)") - 1)) >/dev/null # the file changed since
shared "$(photo 3)" "file://$(photo 1)" "$(mtime "$(photo 3)")" >/dev/null       # another file's
damaged=$(shared "$(photo 4)" "file://$(photo 4)" "$(mtime "$(photo 4)")")
truncate -s 100 "$damaged" || abort "could not damage a thumbnail"

# The viewer runs under strace, with a HOME and caches of its own.
mkdir -m 700 "$TMP/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME DBUS_SESSION_BUS_ADDRESS
export XDG_CACHE_HOME=$TMP/cache
cat >"$TMP/traced" <<TRACED
#!/bin/sh
exec strace -ff -qq -o "$TMP/trace" -e trace=open,openat,creat,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,rmdir,link,linkat,symlink,symlinkat,truncate,ftruncate "$KALVIO" "\$@"
TRACED
chmod +x "$TMP/traced"
KALVIO=$TMP/traced
start_xvfb
HOME=$TMP/home start_kalvio "$TMP" "$TMP/photos"

shows_the_shared_one_only()
{
    local cell seen
    for cell in 0 1 2 3 4; do
        seen=$(picture_at "$cell")
        if ((cell == 0)); then
            [[ $seen == 9 ]] || WHY+=" cell 0: $seen, not the shared thumbnail;"
        else
            [[ $seen == "$cell" ]] || WHY+=" cell $cell: $seen, not its own picture $cell;"
        fi
    done
    [[ -z $WHY ]]
}
check 30 "the shared thumbnail of P01 shows; stale, another file's and damaged ones are not used" \
    shows_the_shared_one_only
xdotool key ctrl+q || fail "no Ctrl+Q"
ends_by "Ctrl+Q"

# Every call that writes: an open for writing or creating, or a change of a
# name; one that failed (a folder that exists already) wrote nothing. /dev
# (the X server's shared memory, /dev/null) is no file. Each thread has a
# trace of its own, so that no call is split around another thread's.
trace=$(cat "$TMP"/trace.* 2>/dev/null)
writes=$(grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|^(creat|mkdir|rename|unlink|rmdir|link|symlink|truncate|ftruncate)' \
    <<<"$trace" | grep -v ' = -1 ' | grep -v '"/dev/')
if [[ -n $trace && -z $writes ]]; then
    pass "strace saw $(wc -l <<<"$trace") calls, none of them writing"
else
    fail "the session wrote: ${writes:-no trace at all}"
fi
finish
