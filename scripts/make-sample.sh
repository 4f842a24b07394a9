#!/usr/bin/env bash
# Generates the sample photo folder sample/Fotky: 36 small pictures, two pages of 24.
#   IMG_0001.JPG .. IMG_0032.JPG   numbered colour cards (a few are portrait)
#   R0001.JPG, R0002.JPG           pictures with their own small thumbnails in THM/
#   THM/T0001.JPG, THM/T0002.JPG   120x90 thumbnails that look visibly different
#   P0001.BMP, P0002.GIF           one picture in each of the other two formats (the GIF animated)
# The output is deterministic: the same ImageMagick gives the same bytes every run.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$root/sample/Fotky"

if command -v convert >/dev/null 2>&1; then
    convert=convert
elif command -v convert-im6.q16 >/dev/null 2>&1; then
    convert='convert-im6.q16'
else
    echo "make-sample: ImageMagick 'convert' not found (run scripts/setup.sh)" >&2
    exit 1
fi

font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[[ -f "$font" ]] || font=DejaVu-Sans-Bold

# Two gradient end colours "#rrggbb #rrggbb" for picture number $1: the hue walks
# round the circle in steps of 110 degrees, so all 36 hues differ and pictures close
# to each other in the list never look alike.
colours() {
    awk -v i="$1" 'function hex(h, s, l,    c, x, m, r, g, b, hp) {
            c = (1 - (2 * l - 1 < 0 ? 1 - 2 * l : 2 * l - 1)) * s
            hp = h / 60
            x = c * (1 - ((hp % 2) - 1 < 0 ? 1 - (hp % 2) : (hp % 2) - 1))
            if (hp < 1) { r = c; g = x; b = 0 }
            else if (hp < 2) { r = x; g = c; b = 0 }
            else if (hp < 3) { r = 0; g = c; b = x }
            else if (hp < 4) { r = 0; g = x; b = c }
            else if (hp < 5) { r = x; g = 0; b = c }
            else { r = c; g = 0; b = x }
            m = l - c / 2
            return sprintf("#%02x%02x%02x", int((r + m) * 255 + 0.5), int((g + m) * 255 + 0.5),
                           int((b + m) * 255 + 0.5))
        }
        BEGIN {
            h = ((i * 11) % 36) * 10
            printf "%s %s\n", hex(h, 0.65, 0.62), hex(h, 0.70, 0.38)
        }'
}

# card NUMBER LABEL SIZE OUTPUT [extra convert options]
card() {
    local number=$1 label=$2 size=$3 file=$4
    shift 4
    local top bottom
    read -r top bottom < <(colours "$number")
    "$convert" -size "$size" "gradient:$top-$bottom" \
        -font "$font" -gravity center \
        -fill white -stroke '#202020' -strokewidth 3 -pointsize 120 -annotate +0-10 "$number" \
        -stroke none -fill '#f4f4f4' -pointsize 18 -gravity south -annotate +0+12 "$label" \
        "$@" "$file"
}

rm -rf "$out"
mkdir -p "$out/THM"

# Portrait pictures, so the viewer has to fit both orientations.
portrait=" 5 12 19 26 "

for i in $(seq 1 32); do
    name=$(printf 'IMG_%04d.JPG' "$i")
    size=320x240
    [[ "$portrait" == *" $i "* ]] && size=240x320
    card "$i" "$name" "$size" "$out/$name" -strip -quality 80 -sampling-factor 2x2
done

# Pictures that come with a camera-made thumbnail in THM/: the thumbnail is dark with
# "THM" on it, so it is easy to see which of the two the viewer is showing.
for j in 1 2; do
    i=$((32 + j))
    name=$(printf 'R%04d.JPG' "$j")
    card "$i" "$name" 320x240 "$out/$name" -strip -quality 80 -sampling-factor 2x2
    "$convert" -size 114x84 'xc:#1c1c1c' -font "$font" -gravity center \
        -fill '#ffd400' -pointsize 30 -annotate +0-12 THM \
        -fill white -pointsize 16 -annotate +0+20 "$name" \
        -bordercolor '#ffd400' -border 3 -strip -quality 80 "$out/THM/$(printf 'T%04d.JPG' "$j")"
done

# 8-bit palette BMP (Windows 3 header) and an animated GIF: the card, then a
# light going round its number, 12 frames of 0.1 s for ever. Each frame after
# the first holds only the light and is undone after its delay, so the full
# screen has to compose them; the thumbnail and the enlarged view show the card.
card 35 P0001.BMP 320x240 "BMP3:$out/P0001.BMP" -colors 64 -type Palette -compress None
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
card 36 P0002.GIF 320x240 "$frames/00.png"
"$convert" "$frames/00.png" +dither -colors 64 "$frames/palette.gif"
for k in $(seq 1 11); do
    read -r x y < <(awk -v k="$k" 'BEGIN { a = k * 3.14159265 / 6 - 1.5708; printf "%d %d\n", 160 + 118 * cos(a), 110 + 84 * sin(a) }')
    "$convert" "$frames/00.png" -fill white -stroke '#202020' -strokewidth 2 -draw "circle $x,$y $((x + 9)),$y" \
        "$frames/$(printf '%02d' "$k").png"
done
"$convert" -delay 10 -loop 0 "$frames"/[0-9][0-9].png +dither -remap "$frames/palette.gif" -layers Optimize \
    "$out/P0002.GIF"

count=$(find "$out" -maxdepth 1 -type f | wc -l)
echo "make-sample: wrote $count pictures to ${out#"$root"/} (plus $(find "$out/THM" -type f | wc -l) thumbnails in THM/)"
