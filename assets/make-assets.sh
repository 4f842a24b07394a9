#!/usr/bin/env bash
# Draws every picture Kalvio ships (icons, button faces, logo, frame fill)
# into the directory this script lives in, and renders the application icon
# kalvio.svg into the window icon and the desktop icon sizes under icons/.
# Re-run after changing a drawing:
#
#   bash assets/make-assets.sh
#
# Needs ImageMagick 6 (`convert`), rsvg-convert (Debian: librsvg2-bin) and the
# DejaVu Sans Bold font (Debian: fonts-dejavu-core). The output is
# byte-for-byte reproducible.
#
# Every shape is described in the picture's own pixel coordinates, where pixel
# (i,j) covers the square [i,i+1]x[j,j+1]. Drawings are rendered at SS times
# the final size and box-filtered down, which gives even antialiasing; the
# `affine` prefix maps picture coordinates onto the supersampled canvas
# (ImageMagick samples a canvas pixel at its integer centre, hence the -0.5).
set -euo pipefail

OUT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Prefer the real ImageMagick 6 binary; fall back to whatever `convert` is.
IM=$(command -v convert-im6.q16 || command -v convert || true)
[ -n "$IM" ] || { echo "make-assets: ImageMagick 6 'convert' not found" >&2; exit 1; }
RSVG=$(command -v rsvg-convert || true)
[ -n "$RSVG" ] || { echo "make-assets: rsvg-convert not found (apt-get install librsvg2-bin)" >&2; exit 1; }

FONT=$(fc-match "DejaVu Sans:bold" file 2>/dev/null | sed -n 's/^:file=//p')
case "$FONT" in
  *DejaVuSans-Bold.ttf) ;;
  *) FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf ;;
esac
[ -f "$FONT" ] || { echo "make-assets: DejaVu Sans Bold missing (apt-get install fonts-dejavu-core)" >&2; exit 1; }

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Keep results independent of the caller's environment.
export MAGICK_THREAD_LIMIT=1
unset MAGICK_CONFIGURE_PATH || true

WINDOW_BG='rgb(156,194,217)'   # the main window's background; GIFs sit on it

# Button palettes: gradient top, gradient bottom, outline.
RED_TOP='#a8322f'; RED_BOTTOM='#6c1414'; RED_EDGE='#4e0d0d'
BLUE_TOP='#3f88c8'; BLUE_BOTTOM='#1c5590'; BLUE_EDGE='#143f6c'
INK='#fff3ea'                   # light symbol colour on the red buttons

affine() { # SS -> MVG prefix mapping picture coordinates onto the canvas
  echo "affine $1,0,0,$1,-0.5,-0.5"
}

# pill W H TOP BOTTOM EDGE OUTFILE [MVG...]
# A button face whose ends are full half-circles, with a vertical gradient,
# an outline and optional symbols drawn in MVG; flattened onto the window
# colour and written as a GIF.
pill() {
  local w=$1 h=$2 top=$3 bottom=$4 edge=$5 out=$6
  shift 6
  local ss=4 a r ri
  a=$(affine $ss)
  r=$(awk -v h="$h" 'BEGIN { printf "%.2f", (h - 2) / 2 }')    # shape
  ri=$(awk -v h="$h" 'BEGIN { printf "%.2f", (h - 3) / 2 }')   # outline
  local cmd=("$IM" -size "$((w * ss))x$((h * ss))" "gradient:$top-$bottom"
    \( -size "$((w * ss))x$((h * ss))" xc:black -fill white
       -draw "$a roundrectangle 1,1 $((w - 1)),$((h - 1)) $r,$r" \)
    -alpha off -compose CopyOpacity -composite -compose Over
    -draw "$a fill none stroke $edge stroke-width 1
           roundrectangle 1.5,1.5 $((w - 2)).5,$((h - 2)).5 $ri,$ri")
  local mvg
  for mvg in "$@"; do
    cmd+=(-draw "$a $mvg")
  done
  cmd+=(-filter Box -resize "${w}x${h}!")
  if [[ -n ${CLEAR_ON:-} ]]; then
    # Outside the pill stays transparent (GIF has one clear colour); the
    # soft edge is blended onto CLEAR_ON, the colour it is mostly seen on.
    cmd+=(\( +clone -background "$CLEAR_ON" -flatten \)
      \( -clone 0 -alpha extract -threshold 50% \) -delete 0
      -alpha off -compose CopyOpacity -composite)
  else
    cmd+=(-background "$WINDOW_BG" -alpha remove -alpha off)
  fi
  cmd+=(+dither -colors 255 +repage "gif:$OUT/$out")
  "${cmd[@]}"
}

# Light strokes for the symbols on the red buttons.
STROKE="fill none stroke $INK stroke-linecap round stroke-linejoin round"
chevron() { # TIP_X ARM_X: a "<" or ">" 20 px tall centred on y=28
  echo "$STROKE stroke-width 5 polyline $2,18 $1,28 $2,38"
}
small_magnifier() { # CX CY: lens of radius 7.5 with a handle to the lower right
  local cx=$1 cy=$2
  echo "$STROKE stroke-width 4 circle $cx,$cy $(awk -v x="$cx" 'BEGIN{print x+7.5}'),$cy
        stroke-width 5 line $(awk -v x="$cx" -v y="$cy" 'BEGIN{printf "%g,%g %g,%g", x+6.2, y+6.2, x+11, y+11}')"
}

# --- navigation buttons --------------------------------------------------
# The stepping buttons lie over the enlarged picture: clear around the pill.
CLEAR_ON='rgb(128,128,128)' pill 86 56 "$RED_TOP" "$RED_BOTTOM" "$RED_EDGE" prev-picture.gif \
  "$(chevron 23 33)" "$(small_magnifier 49.5 25)"
CLEAR_ON='rgb(128,128,128)' pill 86 56 "$RED_TOP" "$RED_BOTTOM" "$RED_EDGE" next-picture.gif \
  "$(small_magnifier 31 25)" "$(chevron 63 53)"
pill 86 56 "$RED_TOP" "$RED_BOTTOM" "$RED_EDGE" prev-page.gif \
  "$(chevron 31 41)" "$(chevron 44 54)"
pill 86 56 "$RED_TOP" "$RED_BOTTOM" "$RED_EDGE" next-page.gif \
  "$(chevron 42 32)" "$(chevron 55 45)"
# The program paints its own "Konec" label over this one, so it stays blank.
pill 106 51 "$BLUE_TOP" "$BLUE_BOTTOM" "$BLUE_EDGE" exit-button.gif

# --- zoom cursors / tool icons (16x16, 16 colours, 1-bit transparency) -----
# A black magnifier with a white outline so it reads on light and dark
# backgrounds; the lens is filled white so the sign inside stays visible.
# The sign is a filled 1 px bar on the pixel grid so it stays crisp.
zoom_icon() { # OUTFILE SIGN_MVG
  local out=$1 sign=$2 ss=8 a
  a=$(affine $ss)
  "$IM" -size "$((16 * ss))x$((16 * ss))" xc:none \
    -draw "$a fill white stroke white stroke-linecap round
           stroke-width 3.8 circle 6.5,6.5 10.9,6.5
           stroke-width 4.6 line 10,10 13.4,13.4" \
    -draw "$a fill none stroke black stroke-linecap round
           stroke-width 1.8 circle 6.5,6.5 10.9,6.5
           stroke-width 2.6 line 10,10 13.4,13.4" \
    -draw "$a fill black stroke none $sign" \
    -filter Box -resize 16x16! \
    -channel A -threshold 50% +channel \
    -background black -alpha background \
    +dither -colors 16 -type PaletteMatte "ico:$TMP/$out"
  mv "$TMP/$out" "$OUT/$out"
}
zoom_icon zoom-out.ico "rectangle 4,6 9,7"
zoom_icon zoom-in.ico "rectangle 4,6 9,7 rectangle 6,4 7,9"

# --- application icon --------------------------------------------------------
# One drawing, kalvio.svg (a dial on a blue tile), gives every icon Kalvio has:
# the PNG sizes of the desktop icon theme, rendered straight from the SVG, and
# the window's own 32x32 16-colour icon, rendered at 8x and box-filtered down.
# The window icon's colours are mapped onto a fixed 15-entry palette (the
# drawing's colours plus the blends their edges need) so the 16-colour limit
# never drops or muddies a hue; the 16th entry is the black under the
# transparent corners, which are rounded off through the icon's mask.
ICON_SIZES=(16 22 24 32 48 64 128 256)

theme_icons() {
  mkdir -p "$OUT/icons"
  local size
  for size in "${ICON_SIZES[@]}"; do
    "$RSVG" -w "$size" -h "$size" -o "$TMP/icon.png" "$OUT/kalvio.svg"
    mv "$TMP/icon.png" "$OUT/icons/kalvio-$size.png"
  done
}

window_icon() {
  local BLUE='#2166b0'
  "$RSVG" -w 256 -h 256 -o "$TMP/window-icon.png" "$OUT/kalvio.svg"
  "$IM" -size 1x1 \
    "xc:$BLUE" xc:'#ffffff' xc:'#2fa84f' xc:'#f2c21b' xc:'#e0352b' xc:'#1b2633' \
    xc:'#c6c9cc' xc:'#8d9299' xc:'#545c66' \
    xc:'#287e80' xc:'#8a9466' xc:'#80506f' \
    xc:'#97d3a7' xc:'#f8e08d' xc:'#f09a95' +append "$TMP/palette.png"
  "$IM" "$TMP/window-icon.png" -filter Box -resize 32x32! \
    \( +clone -alpha extract -threshold 50% \) \
    \( -clone 0 -background "$BLUE" -alpha remove -alpha off \
       +dither -remap "$TMP/palette.png" \) \
    -delete 0 +swap -alpha off -compose CopyOpacity -composite \
    -background black -alpha background \
    -type PaletteMatte "ico:$TMP/kalvio.ico"
  mv "$TMP/kalvio.ico" "$OUT/kalvio.ico"
}
theme_icons
window_icon

# --- maker's logo ---------------------------------------------------------
logo() {
  local ss=4 w=456 h=65 a
  a=$(affine $ss)
  local d=48 gap=14     # emblem diameter and gap to the name, picture px
  # The name, trimmed to its ink so it can be centred exactly.
  "$IM" -background none -fill '#1d3452' -font "$FONT" -pointsize $((42 * ss)) \
    label:Velorin -trim +repage "$TMP/name.png"
  local tw th
  tw=$("$IM" "$TMP/name.png" -format '%w' info:)
  th=$("$IM" "$TMP/name.png" -format '%h' info:)
  # Group = emblem + gap + name, centred horizontally on the banner.
  local x0 ex ey tx ty
  x0=$(awk -v W="$w" -v d="$d" -v g="$gap" -v t="$tw" -v s="$ss" \
        'BEGIN { printf "%.2f", (W - d - g - t / s) / 2 }')
  ex=$(awk -v x="$x0" -v d="$d" 'BEGIN { printf "%.2f", x + d / 2 }')
  ey=$(awk -v h="$h" 'BEGIN { printf "%.2f", h / 2 }')
  tx=$(awk -v x="$x0" -v d="$d" -v g="$gap" -v s="$ss" 'BEGIN { printf "%d", (x + d + g) * s }')
  ty=$(( (h * ss - th) / 2 ))
  # Emblem: a navy disc carrying a white "V" with a red accent dot.
  local e
  e=$(awk -v cx="$ex" -v cy="$ey" -v r="$((d / 2))" 'BEGIN {
    printf "fill #1d3452 stroke none circle %g,%g %g,%g ", cx, cy, cx + r, cy
    printf "fill none stroke white stroke-width 5.5 stroke-linecap round stroke-linejoin round "
    printf "polyline %g,%g %g,%g %g,%g ", cx - 10, cy - 9, cx, cy + 11, cx + 10, cy - 9
    printf "fill #c0392b stroke none circle %g,%g %g,%g", cx, cy - 12, cx + 3.2, cy - 12
  }')
  "$IM" -size "$((w * ss))x$((h * ss))" xc:'#f4f7fa' \
    -draw "$a $e" \
    "$TMP/name.png" -geometry "+$tx+$ty" -composite \
    -filter Box -resize "${w}x${h}!" -alpha off \
    +dither -colors 256 +repage "gif:$OUT/logo.gif"
}
logo

# --- picture frame fill: plain white, 24-bit BMP without alpha -------------
"$IM" -size 5x5 xc:white -alpha off -type TrueColor "BMP3:$OUT/frame-face.bmp"

echo "make-assets: wrote 10 pictures to $OUT and ${#ICON_SIZES[@]} icons to $OUT/icons"
