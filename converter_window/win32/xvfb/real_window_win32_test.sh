#!/usr/bin/env bash
# bin.exe under Wine on Xvfb, started as a user starts it: its window found by the caption
# "Tessaldo"; "4096" typed through the X server converted in every field (read by window_probe.exe
# with cross-process WM_GETTEXT); the emblem's click opens the about window at the work area's
# corner. Grabs of both windows stay in <artefacts>. Its own Wine prefix (in <work>), since the
# tests' prefix draws nothing.
# Usage: real_window_win32_test.sh <program dir with bin.exe> <window_probe.exe> <artefacts> <work>
set -euo pipefail
program=$1 probe=$2 artefacts=$3 prefix=$4/prefix
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed" && exit 77; }
mkdir -p "$artefacts"
source "$(dirname "$0")/../../../cmake/xvfb-session.sh"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$wineserver" -k >/dev/null 2>&1 || true; cleanup' EXIT
start_xvfb 1024 768
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix" && "$wine" wineboot --init >/dev/null 2>&1 && "$wineserver" -w
fi

(cd "$work" && "$wine" "$program/bin.exe" >/dev/null 2>&1) &
pids+=($!)
form=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tessaldo$' | head -n 1) ||
  fail "no window named Tessaldo appeared"
xdotool windowfocus --sync "$form" 2>/dev/null || true
xdotool type --delay 100 4096
"$wine" "$probe" fields 4096 30 | tr -d '\r' >"$work/fields" || { cat "$work/fields"; fail "Text1 never showed 4096"; }
cat "$work/fields"
expected="Text1=4096
Text2=1000000000000
Text3=10000
Text4=1000
Text5=Conversione impossibile (>3999)
Text6Raw=|| DLE || NUL || 
Text6=| DLE | NUL | "
[ "$(cat "$work/fields")" = "$expected" ] || fail "the fields do not show 4096"
import -display "$DISPLAY" -window "$form" "$artefacts/bin_win32.png"

# A click on the emblem opens the about window, 24 px from the work area's right and 40 from its
# bottom (360 and 600 twips at 96 dpi).
read -r left top right bottom < <("$wine" "$probe" rect Image1 10 | tr -d '\r')
xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click 1
about=$("$wine" "$probe" window Autore 30 | tr -d '\r') || fail "the about window did not open"
echo "$about"
read -r _ _ aright abottom < <(sed -n 's/^window=//p' <<<"$about")
read -r _ _ wright wbottom < <(sed -n 's/^work=//p' <<<"$about")
[ $((wright - aright)) -eq 24 ] && [ $((wbottom - abottom)) -eq 40 ] ||
  fail "the about window is not at the corner: $about"
autore=$(xdotool search --onlyvisible --name '^Autore$' | head -n 1)
import -display "$DISPLAY" -window "$autore" "$artefacts/about_win32.png"
import -display "$DISPLAY" -window root "$artefacts/screen_win32.png"
echo "Win32 real-window test passed; grabs in $artefacts"
