#!/usr/bin/env bash
# Draws the pictures of Tessaldo with ImageMagick. The outputs are checked in;
# run this only after changing a drawing. Writes:
#   art/form_icon.png   32x32, 256 colours   program and window icon
#   art/emblem.png      48x48, 24-bit + mask author emblem, see-through around the ring
#   art/envelope.png    24x24                e-mail link of the about window
#   left.jpg            24x24                the closed panel's arrow (points right, to open),
#                                            also Image2's start picture
#   right.jpg           24x24                the open panel's arrow (points left, to close)
#   bin.ico             16/32/48, 16 colours icon of the bin program file
#   form.ico            32x32, 256 colours   Form1's window icon on Windows
#   tessaldo.ico        16/32/48, 256 colours icon of the launcher
#   icons/hicolor/<n>x<n>/apps/tessaldo.png  desktop icons, 16 to 256 pixels
set -euo pipefail

art=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
res=$(dirname "$art")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

blue='rgb(0,0,150)'
lavender='rgb(192,192,255)'
red='rgb(230,30,40)'
bright='rgb(40,90,235)'

# No time stamps or other metadata, so that a rerun gives the same bytes.
png=(-strip -depth 8 -define png:exclude-chunks=date,time)

# --- Program icon: "01" and a red arrow on a dark-blue tile. ---------------

# The 16-pixel icon, drawn pixel by pixel.
icon16() {
  convert -size 16x16 xc:none +antialias -draw "
    fill $lavender roundrectangle 0,0 15,15 3,3
    fill $blue roundrectangle 1,1 14,14 2,2
    fill white
    rectangle 3,2 6,2  rectangle 3,7 6,7  rectangle 2,3 3,6  rectangle 6,3 7,6
    rectangle 11,2 12,7  point 10,3  point 9,4  point 10,4
    fill $red
    rectangle 2,11 9,12  rectangle 10,9 10,14  rectangle 11,10 11,13  rectangle 12,11 12,12
  " "${png[@]}" "$1"
}

# Larger icons: the tile in pixels (hard-edged up to 48 pixels, so that the
# binary transparency of palette images is exact), the figure drawn on a
# 32-unit grid and scaled.
icon() {
  local size=$1 out=$2
  local k border=$(((size + 31) / 32)) last=$((size - 1)) smooth=+antialias
  k=$(awk -v s="$size" 'BEGIN { printf "%.6f", s / 32 }')
  [ "$size" -gt 48 ] && smooth=-antialias
  local r=$((size * 6 / 32))
  convert -size "${size}x${size}" xc:none $smooth -draw "
    fill $lavender roundrectangle 0,0 $last,$last $r,$r
    fill $blue roundrectangle $border,$border $((last - border)),$((last - border)) $((r - border)),$((r - border))
  " -antialias -draw "
    scale $k,$k
    stroke-linecap round stroke-linejoin round
    fill none stroke white stroke-width 2.6
    ellipse 10.5,12 4.2,6.5 0,360
    stroke-width 2.8 line 22.5,5.8 22.5,18.5
    stroke-width 2.4 line 22.5,6 18.8,9
    fill $red stroke $red stroke-width 2.4 line 6,25 20,25
    stroke-width 1 polygon 20,20.5 27,25 20,29.5
  " "${png[@]}" "$out"
}

icon16 "$tmp/icon16.png"
for size in 32 48 64 128 256; do icon "$size" "$tmp/icon$size.png"; done
for size in 16 32 48 64 128 256; do
  mkdir -p "$res/icons/hicolor/${size}x${size}/apps"
  convert "$tmp/icon$size.png" "${png[@]}" PNG32:"$res/icons/hicolor/${size}x${size}/apps/tessaldo.png"
done
convert "$tmp/icon32.png" "${png[@]}" PNG8:"$art/form_icon.png"
convert "$art/form_icon.png" +dither -colors 256 -type PaletteAlpha "$res/form.ico"
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" \
  +dither -colors 256 -type PaletteAlpha "$res/tessaldo.ico"
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" \
  +dither -colors 16 -type PaletteAlpha "$res/bin.ico"

# --- Author emblem: a white T in a ring; outside the ring it is see-through,
# with a hard mask as an icon's. ---------------------------------------------
convert -size 48x48 xc:none -draw "
  fill $lavender stroke white stroke-width 1.2 circle 24,24 24,2.5
  fill $blue stroke none circle 24,24 24,7
  fill none stroke $red stroke-width 1.6 circle 24,24 24,9.6
  fill white stroke none
  polygon 14.5,14.5 33.5,14.5 33.5,19 26.5,19 26.5,34.5 21.5,34.5 21.5,19 14.5,19
" -channel A -threshold 50% +channel -background white -alpha background \
  "${png[@]}" PNG32:"$art/emblem.png"

# --- Arrows: a blue arrow on a lavender tile whose corners match the
# window's dark blue. Each shows what a click does: the closed panel's arrow
# points right (the panel opens on the right), the open panel's left. ---------
convert -size 24x24 xc:"$blue" -draw "
  fill $lavender roundrectangle 0,0 23,23 4,4
  stroke-linejoin round fill $bright stroke $blue stroke-width 1.3
  polygon 4.5,9 11.5,9 11.5,4.5 19,11.5 11.5,18.5 11.5,14 4.5,14
" -alpha off "$tmp/opens.png"
convert "$tmp/opens.png" -strip -sampling-factor 1x1 -quality 100 "$res/left.jpg"
convert "$tmp/opens.png" -flop -strip -sampling-factor 1x1 -quality 100 "$res/right.jpg"

# --- Envelope: white, with a red seal where the flap closes. ----------------
convert -size 24x24 xc:none -draw "
  stroke-linejoin round stroke-linecap round
  fill white stroke $lavender stroke-width 1 roundrectangle 1.5,4.5 22.5,19.5 1.5,1.5
  fill none stroke $blue stroke-width 1.2
  polyline 2.5,5.5 12,13 21.5,5.5
  line 2.5,18.5 8.5,12.5  line 21.5,18.5 15.5,12.5
  fill $red stroke none circle 12,13 12,15
" "${png[@]}" PNG32:"$art/envelope.png"
