#!/usr/bin/env bash
# Starts `bin` on a real X server (Xvfb), opens the about window with a click
# on the author image and keeps a screen grab of both windows; the about
# window must sit 360 twips (24 px) from the right and 600 twips (40 px) from
# the bottom edge of the screen, and scroll.
# Usage: both_windows_test.sh <bin> <artefact directory>
set -euo pipefail
bin=$1
artefacts=$2
mkdir -p "$artefacts"
source "$(dirname "$0")/../../cmake/xvfb-session.sh"
screen_width=1280
screen_height=1024
start_xvfb $screen_width $screen_height

QT_QPA_PLATFORM=xcb "$bin" 2>"$work/bin.log" &
pids+=($!)
converter=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tessaldo$' | head -n 1) ||
  fail "no converter window appeared"
eval "$(xdotool getwindowgeometry --shell "$converter")"

# The author image: 2985, 420 twips, 720 wide and high.
xdotool mousemove --sync $((X + (2985 + 360) / 15)) $((Y + (420 + 360) / 15)) click 1
about=$(timeout 30 xdotool search --sync --onlyvisible --name '^Autore$' | head -n 1) ||
  fail "no about window appeared"
eval "$(xdotool getwindowgeometry --shell "$about")"

# No window manager here: the outer frame is the client area.
expected_x=$((screen_width - WIDTH - 360 / 15))
expected_y=$((screen_height - HEIGHT - 600 / 15))
[ "$WIDTH" -eq $((4410 / 15)) ] && [ "$HEIGHT" -eq $((1860 / 15)) ] ||
  fail "about window is ${WIDTH}x${HEIGHT}, expected $((4410 / 15))x$((1860 / 15))"
[ "$X" -eq "$expected_x" ] && [ "$Y" -eq "$expected_y" ] ||
  fail "about window at $X,$Y, expected $expected_x,$expected_y"

# The panel scrolls: two grabs of the white frame differ.
frame="$((WIDTH - 8))x$((1335 / 15 - 4))+$((X + 4 + 60 / 15))+$((Y + 2))"
import -display "$DISPLAY" -window root -crop "$frame" +repage "$work/first.png"
scrolled() {
  import -display "$DISPLAY" -window root -crop "$frame" +repage "$work/second.png"
  [ "$(compare -metric AE "$work/first.png" "$work/second.png" null: 2>&1 || true)" != 0 ]
}
wait_for 10 scrolled || fail "the about window's panel does not scroll"

import -display "$DISPLAY" -window root "$artefacts/both_windows.png"
import -display "$DISPLAY" -window "$about" "$artefacts/about_window.png"

# The guided-entry panel opened with the arrow (3360, 4920 twips, 360 wide and high), a number
# typed, and the converter window kept on its own.
eval "$(xdotool getwindowgeometry --shell "$converter")"
xdotool mousemove --sync $((X + (3360 + 180) / 15)) $((Y + (4920 + 180) / 15)) click 1
wide() {
  eval "$(xdotool getwindowgeometry --shell "$converter")"
  [ "$WIDTH" -eq $((7095 / 15)) ]
}
wait_for 10 wide || fail "the arrow did not open the panel (width $WIDTH)"
import -display "$DISPLAY" -window "$converter" "$work/empty.png"
xdotool mousemove --sync $((X + 60)) $((Y + 50)) click 1
xdotool type --delay 100 "1994"
# Settled: the last two grabs alike, and unlike the window before typing.
settled() {
  import -display "$DISPLAY" -window "$converter" "$work/next.png"
  local moved same
  moved=$(compare -metric AE "$work/empty.png" "$work/next.png" null: 2>&1 || true)
  same=$(compare -metric AE "$work/last.png" "$work/next.png" null: 2>&1 || true)
  mv "$work/next.png" "$work/last.png"
  [ "$moved" != 0 ] && [ "$same" = 0 ]
}
cp "$work/empty.png" "$work/last.png"
wait_for 10 settled || fail "the typed number did not show"
cp "$work/last.png" "$artefacts/converter_window.png"
echo "about window at $X,$Y (${WIDTH}x${HEIGHT}) on a ${screen_width}x${screen_height} screen;" \
  "grab in $artefacts/both_windows.png"
