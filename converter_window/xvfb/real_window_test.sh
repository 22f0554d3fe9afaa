#!/usr/bin/env bash
# Starts `bin` on a real X server (Xvfb, the xcb platform), checks the designed
# colours on a screen grab, types a key through the X server into the decimal
# field and checks on a second grab that the other fields now show the number.
# Usage: real_window_test.sh <bin> <artefact directory>
set -euo pipefail
bin=$1
artefacts=$2
mkdir -p "$artefacts"
source "$(dirname "$0")/../../cmake/xvfb-session.sh"
start_xvfb 1280 1024

QT_QPA_PLATFORM=xcb "$bin" 2>"$work/bin.log" &
pids+=($!)
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tessaldo$' | head -n 1) ||
  fail "no window named Tessaldo appeared"
eval "$(xdotool getwindowgeometry --shell "$window")"  # X Y WIDTH HEIGHT

grab() {
  import -display "$DISPLAY" -window root "$1"
}

# The colour of the pixel at client point (twips) as "r,g,b".
pixel() {
  local image=$1 x=$((X + $2 / 15)) y=$((Y + $3 / 15))
  convert "$image" -format '%[fx:int(255*p{'"$x,$y"'}.r)],%[fx:int(255*p{'"$x,$y"'}.g)],%[fx:int(255*p{'"$x,$y"'}.b)]' info:
}

# How many pixels of a client rectangle (twips) are dark blue text, or red.
count() {
  local image=$1 kind=$2 left=$(($3 / 15 + 3)) top=$(($4 / 15 + 3)) w=$(($5 / 15 - 6)) h=$(($6 / 15 - 6))
  local test='b>0.35 && b-r>0.3 && b-g>0.3 && r<0.4'
  [ "$kind" = red ] && test='r>0.7 && g<0.3 && b<0.3'
  convert "$image" -crop "${w}x${h}+$((X + left))+$((Y + top))" +repage \
    -fx "$test ? 1 : 0" -format '%[fx:round(mean*w*h)]' info:
}

expect_pixel() {
  local got
  got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel at ($2, $3) twips is $got, expected $4"
}

wait_for 10 test -n "$(xdotool getwindowfocus 2>/dev/null)" || true
grab "$artefacts/real_window_before.png"

# Window background, and the inside of each field, clear of any text.
expect_pixel "$artefacts/real_window_before.png" 60 60 "0,0,150" "window background"
expect_pixel "$artefacts/real_window_before.png" 2300 3900 "0,0,150" "background right of the labels"
for field in "Text1 120 600 2655 525" "Text2 120 1560 3735 405" "Text3 120 2400 3735 405" \
  "Text4 120 3240 3735 405" "Text5 120 4080 3735 405" "Text6 120 4920 3135 375"; do
  set -- $field
  expect_pixel "$artefacts/real_window_before.png" $(($2 + $4 - 150)) $(($3 + $5 / 2)) \
    "192,192,255" "$1 background"
  [ "$(count "$artefacts/real_window_before.png" blue "${@:2}")" -eq 0 ] || fail "$1 is not empty"
done

# A key through the X server into the decimal field, which has the focus.
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool type --delay 100 "4096"

converted() {
  grab "$work/after.png"
  for field in "120 1560 3735 405" "120 2400 3735 405" "120 3240 3735 405" "120 4080 3735 405"; do
    [ "$(count "$work/after.png" blue $field)" -gt 10 ] || return 1
  done
  [ "$(count "$work/after.png" red 120 4920 3135 375)" -gt 5 ] || return 1
}
wait_for 20 converted || {
  cp "$work/after.png" "$artefacts/real_window_after.png"
  fail "the typed number did not reach the other fields"
}
cp "$work/after.png" "$artefacts/real_window_after.png"
[ "$(count "$work/after.png" blue 120 600 2655 525)" -gt 10 ] || fail "Text1 shows no digits"
echo "real window: background, fields and conversion as designed; grabs in $artefacts"
