#!/usr/bin/env bash
# shellcheck disable=SC2317 # conditions are called through check
# A seeded storm of clicks, keys and wheel turns over the real window, in a
# folder of 110 pictures with broken, unreadable, huge and slow ones among
# them (a FIFO named like a picture too). The viewer must stay alive, keep a
# bounded stack and memory, and afterwards still draw the first page.
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"

ACTIONS=${KALVIO_STORM_ACTIONS:-1500}
SEED=${KALVIO_STORM_SEED:-7}
BATCH=100

pictures=$TMP/storm
make_pictures "$pictures" 30 # P01-P30: the first page is known
for n in $(seq 31 100); do cp "$pictures/P$(printf %02d $((n % 30 + 1))).BMP" "$(printf '%s/P%03d.BMP' "$pictures" "$n")"; done
for n in 1 2 3 4; do # slow: large progressive and baseline photos
    convert -size 3000x2000 "gradient:rgb(200,$((n * 40)),40)-rgb(20,40,$((n * 50)))" -quality 92 \
        "$([[ $n == [12] ]] && echo -interlace JPEG)" "$pictures/Q0$n.JPG" 2>/dev/null || convert -size 3000x2000 \
        "gradient:rgb(200,$((n * 40)),40)-rgb(20,40,$((n * 50)))" -quality 92 "$pictures/Q0$n.JPG"
done
head -c 5000 /dev/urandom >"$pictures/R0001.JPG"                    # garbage, with a broken THM copy
mkdir -p "$pictures/THM" && head -c 300 "$pictures/Q03.JPG" >"$pictures/THM/T0001.JPG"
: >"$pictures/R0002.JPG"                                            # empty
head -c 20000 "$pictures/Q04.JPG" >"$pictures/R0003.JPG"            # truncated
cp "$pictures/P01.BMP" "$pictures/R0004.JPG" && chmod 000 "$pictures/R0004.JPG" # unreadable (as a user)
printf 'GIF89a\x60\xEA\x60\xEA\x80\0\0\0\0\0\0\0\0,\0\0\0\0\x60\xEA\x60\xEA\0\x02\x02\x4C\x01\0;' >"$pictures/R0005.GIF"
mkfifo "$pictures/R0006.JPG"                                        # would block whoever opens it
mkdir -p "$pictures/R0007.JPG"                                      # a folder named like a picture

start_xvfb
start_kalvio "$TMP" "$pictures"
check 60 "first page drawn" cells_show 0 24 23

# One storm action, chosen by the seeded generator: a click on a cell, an
# arrow, a stepping image or the view; a key; a wheel turn over the grid; or
# now and then a burst of 200 page turns back and forth, far faster than
# pages are drawn.
RANDOM=$SEED
action()
{
    local x y
    if ((RANDOM % 30 == 0)); then
        printf 'key --delay 1 Next Prior %.0s' {1..100}
        return
    fi
    case $((RANDOM % 8)) in
    0 | 1) x=$((2300 + RANDOM % 12200)) y=$((200 + RANDOM % 7900)) ;;  # the grid and the view
    2) x=$((7750 + RANDOM % 1290)) y=$((8330 + RANDOM % 840)) ;;      # back arrow
    3) x=$((9390 + RANDOM % 1290)) y=$((8330 + RANDOM % 840)) ;;      # forward arrow
    4) x=$((4425 + RANDOM % 1290)) y=$((6920 + RANDOM % 840)) ;;      # previous picture
    5) x=$((10935 + RANDOM % 1290)) y=$((6920 + RANDOM % 840)) ;;     # next picture
    6)
        local keys=(Next Prior Home End Right Left Up Down Return space Escape BackSpace)
        echo "key --delay 1 ${keys[RANDOM % ${#keys[@]}]}"
        return
        ;;
    7) echo "mousemove $((CX + $(px $((2300 + RANDOM % 12200))))) $((CY + $(px $((200 + RANDOM % 7900))))) click --delay 1 $((4 + RANDOM % 2))"; return ;;
    esac
    echo "mousemove $((CX + $(px "$x"))) $((CY + $(px "$y"))) click --delay 1 1"
}

# Status line of /proc for the viewer, in kB.
status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$(pgrep -f -n -- "$KALVIO")/status" 2>/dev/null; }

done_actions=0
while ((done_actions < ACTIONS)); do
    commands=()
    for ((n = 0; n < BATCH; ++n)); do
        read -ra step <<<"$(action)"
        commands+=("${step[@]}")
    done
    xdotool "${commands[@]}" 2>/dev/null
    done_actions=$((done_actions + BATCH))
    sleep 0.$((RANDOM % 3)) # now and then the viewer catches up, and passes start afresh
    running || abort "the viewer ended (status $STATUS) after about $done_actions actions of the storm"
done
pass "$ACTIONS actions (seed $SEED): the viewer is still running"

stack=$(status_kb VmStk) peak=$(status_kb VmHWM)
echo "stack ${stack:-?} kB, peak resident memory ${peak:-?} kB"
((${stack:-99999} < 1024)) && pass "the stack stayed below 1 MiB" || fail "the stack grew to ${stack:-?} kB"
((${peak:-9999999} < 512 * 1024)) && pass "the peak memory stayed below 512 MiB" || fail "peak memory ${peak:-?} kB"

# Calm again: the view closed and the first page drawn, as ever. A click on
# a thumbnail gives it the focus (and may open the view, which Escape closes).
click $((2200 + 1000)) $((100 + 850))
xdotool key Escape Home
check 60 "after the storm the first page shows again" cells_show 0 24 23
finish
