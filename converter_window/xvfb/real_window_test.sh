#!/usr/bin/env bash
# Both windows of `bin` on a real X server (Xvfb, the xcb platform), first bare, then under a
# window manager that draws frames (openbox):
# - the converter window's designed colours on a screen grab; a number typed through the X
#   server reaches the other fields, read back by their pixels;
# - the about window, opened with a click on the emblem, scrolls, and its outer frame sits
#   360 twips (24 px) from the right and 600 (40 px) from the bottom edge of the screen: bare,
#   once the window manager has framed it, and opened afresh under it; dragged by its title
#   bar, it stays where it was dragged.
# Keeps the grabs of both windows in the artefacts directory.
# Usage: real_window_test.sh <bin> <artefact directory>
set -euo pipefail
bin=$1
artefacts=$2
mkdir -p "$artefacts"
source "$(dirname "$0")/../../cmake/xvfb-session.sh"
command -v openbox >/dev/null || fail "openbox is not installed"
start_xvfb 1280 1024

QT_QPA_PLATFORM=xcb "$bin" 2>"$work/bin.log" &
pids+=($!)
converter=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tessaldo$' | head -n 1) ||
  fail "no window named Tessaldo appeared"
eval "$(xdotool getwindowgeometry --shell "$converter")"  # X Y WIDTH HEIGHT

grab() { import -display "$DISPLAY" -window "${2:-root}" "$1"; }
# The colour of the pixel at a client point (twips) of the converter window as "r,g,b".
pixel() {
  local x=$((X + $2 / 15)) y=$((Y + $3 / 15))
  convert "$1" -format "%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)]" info:
}
# How many pixels of a client rectangle (twips) are dark blue text, or red.
count() {
  local left=$(($3 / 15 + 3)) top=$(($4 / 15 + 3)) w=$(($5 / 15 - 6)) h=$(($6 / 15 - 6))
  local test='b>0.35 && b-r>0.3 && b-g>0.3 && r<0.4'
  [ "$2" = red ] && test='r>0.7 && g<0.3 && b<0.3'
  convert "$1" -crop "${w}x${h}+$((X + left))+$((Y + top))" +repage \
    -fx "$test ? 1 : 0" -format '%[fx:round(mean*w*h)]' info:
}
expect_pixel() {
  local got
  got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel at ($2, $3) twips is $got, expected $4"
}

wait_for 10 test -n "$(xdotool getwindowfocus 2>/dev/null)" || true
grab "$work/before.png"
expect_pixel "$work/before.png" 60 60 "0,0,150" "window background"
expect_pixel "$work/before.png" 2300 3900 "0,0,150" "background right of the labels"
fields=("Text1 120 600 2655 525" "Text2 120 1560 3735 405" "Text3 120 2400 3735 405"
  "Text4 120 3240 3735 405" "Text5 120 4080 3735 405" "Text6 120 4920 3135 375")
for field in "${fields[@]}"; do
  set -- $field
  expect_pixel "$work/before.png" $(($2 + $4 - 150)) $(($3 + $5 / 2)) "192,192,255" "$1 background"
  [ "$(count "$work/before.png" blue "${@:2}")" -eq 0 ] || fail "$1 is not empty"
done

# A number through the X server into the decimal field, which has the focus.
xdotool windowfocus --sync "$converter" 2>/dev/null || true
xdotool type --delay 100 "4096"
converted() {
  grab "$work/after.png"
  for field in "${fields[@]}"; do
    set -- $field
    [ "$1" = Text6 ] || [ "$(count "$work/after.png" blue "${@:2}")" -gt 10 ] || return 1
  done
  [ "$(count "$work/after.png" red 120 4920 3135 375)" -gt 5 ]
}
wait_for 20 converted || fail "the typed number did not reach the other fields"

# The about window, opened with a click on the emblem (2985, 420 twips, 720 square).
open_about() {
  eval "$(xdotool getwindowgeometry --shell "$converter")"
  xdotool mousemove --sync $((X + (2985 + 360) / 15)) $((Y + (420 + 360) / 15)) click 1
  about=$(timeout 30 xdotool search --sync --onlyvisible --name '^Autore$' | head -n 1) ||
    fail "no about window appeared"
}
# The about window's outer frame: its client area as the X server has it, grown by the frame
# the window manager announces.
frame() {
  local info extents
  info=$(xwininfo -id "$about")
  left=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
  top=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
  right=$((left + $(awk '/Width:/ { print $NF }' <<<"$info")))
  bottom=$((top + $(awk '/Height:/ { print $NF }' <<<"$info")))
  extents=$(xprop -id "$about" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ,)
  read -r l r t b <<<"${extents:-0 0 0 0}"
  left=$((left - l)) right=$((right + r)) top=$((top - t)) bottom=$((bottom + b)) title=$t
}
in_corner() {
  frame
  [ $((1280 - right)) -eq 24 ] && [ $((1024 - bottom)) -eq 40 ]
}
expect_corner() {
  wait_for 10 in_corner || fail "$1: about window's frame $left,$top-$right,$bottom, gaps" \
    "$((1280 - right)) and $((1024 - bottom)), expected 24 and 40"
}

open_about
expect_corner "bare"
[ $((right - left))x$((bottom - top)) = 294x124 ] || fail "about window $((right - left))x$((bottom - top))"
# The panel scrolls; the grab is kept once the emblem shows, see-through on white.
grab "$work/first.png" "$about"
emblem() {
  grab "$work/about.png" "$about"
  [ "$(compare -metric AE "$work/first.png" "$work/about.png" null: 2>&1 || true)" != 0 ] &&
    [ "$(convert "$work/about.png" -crop 290x85+2+2 -fx 'r>0.8 && g<0.25 && b<0.3' \
      -format '%[fx:round(mean*w*h)]' info:)" -gt 80 ]
}
wait_for 10 emblem || fail "the about window's panel does not scroll to the emblem"
cp "$work/about.png" "$artefacts/about_window.png"

# The guided-entry panel opened with the arrow (3360, 4920 twips, 360 square).
xdotool mousemove --sync $((X + (3360 + 180) / 15)) $((Y + (4920 + 180) / 15)) click 1
wide() {
  eval "$(xdotool getwindowgeometry --shell "$converter")"
  [ "$WIDTH" -eq $((7095 / 15)) ]
}
wait_for 10 wide || fail "the arrow did not open the panel (width $WIDTH)"
sleep 0.5
grab "$artefacts/converter_window.png" "$converter"

# A window manager that draws frames frames the open about window, which is placed anew.
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
framed() { frame && [ "$title" -gt 0 ]; }
wait_for 10 framed || fail "the window manager drew no frame"
expect_corner "framed by the window manager"
# Closed and opened afresh under it; then dragged by the title bar.
xdotool windowactivate --sync "$about" key --clearmodifiers alt+F4
wait_for 10 bash -c "! xwininfo -id $about >/dev/null 2>&1" || fail "the about window did not close"
open_about
expect_corner "opened under the window manager"
placed="$left,$top"
xdotool mousemove --sync $(((left + right) / 2)) $((top + title / 2)) mousedown 1
for step in 1 2 3 4 5; do xdotool mousemove --sync $(((left + right) / 2 - 60 * step)) \
  $((top + title / 2 - 40 * step)); done
xdotool mouseup 1
dragged() { frame; [ "$left,$top" = "$((${placed%,*} - 300)),$((${placed#*,} - 200))" ]; }
wait_for 10 dragged || fail "the drag from $placed left the frame at $left,$top"
for _ in $(seq 20); do
  sleep 0.1
  dragged || fail "the about window went back from where it was dragged to $left,$top"
done
echo "real window: colours, typing and both windows as designed, bare and framed; grabs in" \
  "$artefacts"
