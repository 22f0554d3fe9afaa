#!/usr/bin/env bash
# bin.exe under Wine on Xvfb, started as a user starts it: "4096" typed through the X server
# converted in every field (read by window_probe.exe with cross-process WM_GETTEXT); the emblem's
# click opens the about window at the work area's corner; the program ends once both windows are
# closed. Grabs stay in <artefacts>. Its own Wine prefix, since the tests' prefix draws nothing.
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
[ -f "$prefix/system.reg" ] || { mkdir -p "$prefix" && "$wine" wineboot --init >/dev/null 2>&1 && "$wineserver" -w; }
probe() { "$wine" "$probe" "$@" | tr -d '\r'; }
grab() { import -display "$DISPLAY" -window "$1" "$artefacts/$2_win32.png"; }

(cd "$work" && "$wine" "$program/bin.exe" >/dev/null 2>&1) &
bin=$!
pids+=($bin)
form=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tessaldo$' | head -n 1) ||
  fail "no window named Tessaldo appeared"
xdotool windowfocus --sync "$form" 2>/dev/null || true
xdotool type --delay 100 4096
fields=$(probe fields 4096 30) || fail "Text1 never showed 4096: $fields"
echo "$fields"
[ "$fields" = "Text1=4096
Text2=1000000000000
Text3=10000
Text4=1000
Text5=Conversione impossibile (>3999)
Text6Raw=|| DLE || NUL || 
Text6=| DLE | NUL | " ] || fail "the fields do not show 4096"
grab "$form" bin

# The about window 24 px from the work area's right and 40 from its bottom (360 and 600 twips).
read -r left top right bottom < <(probe rect Image1 10)
xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click 1
about=$(probe window Autore 30) || fail "the about window did not open"
read -r _ _ aright abottom < <(sed -n 's/^window=//p' <<<"$about")
read -r _ _ wright wbottom < <(sed -n 's/^work=//p' <<<"$about")
[ $((wright - aright)) -eq 24 ] && [ $((wbottom - abottom)) -eq 40 ] ||
  fail "the about window is not at the corner: $about"
grab "$(xdotool search --onlyvisible --name '^Autore$' | head -n 1)" about
grab root screen

# The program ends when the last of its windows has closed, whichever closes first.
probe close Tessaldo 10 || fail "no converter window to close"
wait_for 10 sh -c "! xdotool search --onlyvisible --name '^Tessaldo\$' >/dev/null" || fail "Form1 did not close"
kill -0 "$bin" 2>/dev/null || fail "bin.exe ended with the about window still open"
probe close Autore 10 || fail "no about window to close"
wait_for 20 sh -c "! kill -0 $bin 2>/dev/null" || fail "bin.exe did not end after its last window closed"
echo "Win32 real-window test passed; grabs in $artefacts"
