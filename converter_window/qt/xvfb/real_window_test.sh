#!/usr/bin/env bash
# Both windows of `bin` on Xvfb, bare and under openbox, where the window system draws the frames:
# the about window scrolls, its frame 24 px (360 twips) from the right and 40 px (600) from the
# bottom, bare, framed and opened afresh under the window manager, where a drag lasts. The grabs
# are kept. Usage: real_window_test.sh <bin> <grabs dir>
set -euo pipefail
bin=$1 artefacts=$2
mkdir -p "$artefacts"
source "$(dirname "$0")/../../../cmake/xvfb-session.sh"
command -v openbox >/dev/null || fail "openbox is not installed"
start_xvfb 1280 1024
QT_QPA_PLATFORM=xcb "$bin" 2>"$work/bin.log" & pids+=($!)
window() { timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
converter=$(window Tessaldo) || fail "no window named Tessaldo appeared"
where() { eval "$(xdotool getwindowgeometry --shell "$converter")"; } # X Y WIDTH HEIGHT
grab() { import -display "$DISPLAY" -window "${2:-root}" "$1"; }
# How many pixels of a grab's crop (x y w h) pass an fx test on r, g, b.
count() { convert "$1" -crop "$4x$5+$2+$3" +repage -fx "$6 ? 1 : 0" -format '%[fx:round(mean*w*h)]' info:; }
grab "$artefacts/converter_window.png" "$converter"

# The about window, opened by a click on the emblem (2985, 420 twips, 720 square).
open_about() {
  where && xdotool mousemove --sync $((X + 223)) $((Y + 52)) click 1
  about=$(window Autore) || fail "no about window appeared"
}
# Its outer frame: the client area as the X server has it, grown by the announced frame.
frame() {
  local l r t b w h _
  read -r l r t b _ <<<"$(xprop -id "$about" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ,) 0 0 0 0"
  read -r left top w h <<<"$(xwininfo -id "$about" | awk '/Absolute upper-left|Width:|Height:/ { printf "%s ", $NF }')"
  left=$((left - l)) top=$((top - t)) right=$((left + l + r + w)) bottom=$((top + t + b + h)) title=$t
}
in_corner() { frame && [ $((1280 - right)),$((1024 - bottom)) = 24,40 ]; }
expect_corner() { wait_for 10 in_corner || fail "$1: frame $left,$top-$right,$bottom, not 24 and 40 px from the corner"; }
open_about
expect_corner "bare"
# The panel scrolls up to the emblem, see-through on white; that grab is kept.
emblem() { grab "$artefacts/about_window.png" "$about" && [ "$(count "$artefacts/about_window.png" 2 2 290 85 'r>0.8 && g<0.25 && b<0.3')" -gt 50 ]; }
wait_for 20 emblem || fail "the about window's panel does not scroll to the emblem"

# A window manager that draws frames frames the open about window, which is placed anew; closed by
# its key and opened afresh, it is placed in the corner again, and a drag by its title lasts.
openbox >"$work/openbox.log" 2>&1 & pids+=($!)
framed() { frame && [ "$title" -gt 0 ]; }
wait_for 10 framed || fail "the window manager drew no frame"
expect_corner "framed by the window manager"
close_about() {
  xdotool windowactivate "$about" 2>/dev/null || true
  [ "$(xdotool getactivewindow)" != "$about" ] || xdotool key --clearmodifiers alt+F4
  sleep 0.3 && ! xwininfo -id "$about" >/dev/null 2>&1
}
wait_for 15 close_about || fail "the about window did not close"
open_about
expect_corner "opened under the window manager"
x=$(((left + right) / 2)) y=$((top + title / 2)) placed="$left,$top"
xdotool mousemove --sync $x $y mousedown 1
for step in 1 2 3 4 5; do xdotool mousemove --sync $((x - 60 * step)) $((y - 40 * step)); done
xdotool mouseup 1
dragged() { frame && [ "$left,$top" = "$((${placed%,*} - 300)),$((${placed#*,} - 200))" ]; }
wait_for 10 dragged || fail "dragged from $placed, the frame is at $left,$top"
for _ in $(seq 20); do sleep 0.1 && dragged || fail "the dragged window went back to $left,$top"; done
echo "real window: both windows as designed, bare and framed; grabs in $artefacts"
