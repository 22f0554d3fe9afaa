#!/usr/bin/env bash
# The setup program in a fresh Wine prefix on Xvfb: a silent install; a start through the
# Start-menu shortcut, which installs and registers the control and opens the converter's window;
# a silent uninstall that leaves nothing. Then the same with a foreign RICHTX32.OCX in system32.
# Usage: setup_wine_test.sh <setup.exe> <window_probe.exe> <program dir> <artefacts dir>
set -euo pipefail
setup=$1 probe=$2 built=$3 artefacts=$4
# shellcheck source=../../../cmake/xvfb-session.sh
source "$(dirname "$0")/../../../cmake/xvfb-session.sh"
# shellcheck source=../../../cmake/wine-run.sh
source "$(dirname "$0")/../../../cmake/wine-run.sh"
export WINEPREFIX="$work/prefix"
trap '"$wineserver" -k >/dev/null 2>&1 || true; cleanup' EXIT
mkdir -p "$artefacts"

start_xvfb 1024 768
"$wine" wineboot --init >/dev/null 2>&1 && timeout 120 "$wineserver" -w

drive=$WINEPREFIX/drive_c
folder="$drive/Program Files/Tessaldo"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessaldo.lnk"
system32=$drive/windows/system32
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaldo'
server_key='HKCR\CLSID\{160DC074-F8EB-42E8-98D0-C90872887B9B}\InprocServer32'
installed=(bin.exe Tessaldo.exe RICHTX32.OCX left.jpg right.jpg)

exists() { "$wine" reg query "$1" >/dev/null 2>&1; }
value() { "$wine" reg query "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z]* *//p"; }

install() {
  "$wine" "$setup" /S || fail "the silent install ended with $?"
  for file in "${installed[@]}"; do
    cmp "$built/$file" "$folder/$file" || fail "$file is not installed"
  done
  [ -f "$folder/Disinstalla Tessaldo.exe" ] || fail "no uninstaller"
  [ "$(ls "$folder" | wc -l)" -eq 6 ] || fail "unexpected files: $(ls "$folder")"
  [ "$(value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "no uninstall entry"
}

# The shortcut started as the Start menu does; $probed is what the probe saw of the window.
start() {
  "$wine" start /unix "$shortcut"
  wait_for 60 xdotool search --name '^Tessaldo$' >/dev/null || fail "no window titled Tessaldo"
  probed=$("$wine" "$probe" Tessaldo 30 | tr -d '\r') || fail "the window is not a Windows one"
  grep -q '^child=TessaldoTesto256|' <<<"$probed" || fail "Text6 is not the control: $probed"
}

# uses <file>: the window's control was loaded from that file.
uses() { grep -qxF "module=$1" <<<"$probed" || fail "the control is not from $1: $probed"; }

close() {
  "$wine" "$probe" Tessaldo 10 close >/dev/null
  timeout 60 "$wineserver" -w || fail "the programs did not end"
}

remove() {
  # The uninstaller runs from a copy of itself and ends at once; every program ending is the end.
  "$wine" 'C:\Program Files\Tessaldo\Disinstalla Tessaldo.exe' /S
  timeout 60 "$wineserver" -w
  [ ! -e "$folder" ] || fail "left in the program folder: $(ls "$folder")"
  [ ! -e "$shortcut" ] || fail "the shortcut is left"
  ! exists "$uninstall_key" || fail "the uninstall entry is left"
  ! exists "$server_key" || fail "the control is still registered"
}

version=$(sed -n 's/.*tessaldo-\(.*\)-setup\.exe$/\1/p' <<<"$setup")

# 1. A clean machine: the launcher installs the control and regsvr32 registers it. The first
# converter starts alongside the registration and may still take the copy beside it; from the
# second start on it takes the registered one.
install
[ ! -e "$system32/RICHTX32.OCX" ] || fail "the setup itself put the control into system32"
start
cmp "$built/RICHTX32.OCX" "$system32/RICHTX32.OCX" || fail "the control is not in system32"
wait_for 30 exists "$server_key" || fail "regsvr32 did not register the control"
[ "$(value "$server_key" '(Default)')" = 'C:\windows\system32\RICHTX32.OCX' ] ||
  fail "registered as $(value "$server_key" '(Default)')"
close
start
uses 'C:\windows\system32\RICHTX32.OCX'
# A number typed on the X server's keyboard converted into every field, the control's included
# (the grab: bin_win32.png); the emblem's click opens the about window 24 px from the work area's
# right and 40 from its bottom (360 and 600 twips); bin.exe ends with the last of its windows.
look() { "$wine" "$probe" "$@" | tr -d '\r'; }
form=$(xdotool search --name '^Tessaldo$' | head -n 1)
xdotool windowfocus --sync "$form" type --delay 100 4096
typed() { fields=$(look Tessaldo 5 | grep '^Text[0-9]\(Raw\)\?='); [ "$fields" = "Text1=4096
Text2=1000000000000
Text3=10000
Text4=1000
Text5=Conversione impossibile (>3999)
Text6Raw=|| DLE || NUL || 
Text6=| DLE | NUL | " ]; }
wait_for 30 typed || fail "the fields do not show 4096: $fields"
import -window "$form" "$artefacts/bin_win32.png"
read -r left top right bottom < <(look Tessaldo 5 | sed -n 's/^Image1.rect=//p')
xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click 1
about=$(look Autore 30) || fail "the about window did not open"
read -r _ _ aright abottom < <(sed -n 's/^window=//p' <<<"$about")
read -r _ _ wright wbottom < <(sed -n 's/^work=//p' <<<"$about")
[ $((wright - aright)) -eq 24 ] && [ $((wbottom - abottom)) -eq 40 ] ||
  fail "the about window is not at the corner: $about"
import -window "$(xdotool search --onlyvisible --name '^Autore$' | head -n 1)" "$artefacts/about_win32.png"
look Tessaldo 10 close >/dev/null || fail "no converter window to close"
wait_for 10 sh -c "! xdotool search --onlyvisible --name '^Tessaldo\$' >/dev/null" || fail "Form1 did not close"
look Autore 5 close >/dev/null || fail "the about window went with Form1"
timeout 60 "$wineserver" -w || fail "bin.exe did not end after its last window closed"
remove
[ ! -e "$system32/RICHTX32.OCX" ] || fail "the project's control is left in system32"

# 2. A foreign RICHTX32.OCX in system32: the control beside bin.exe, the foreign file left alone.
printf 'un altro RICHTX32.OCX\r\n' >"$system32/RICHTX32.OCX"
install
start
uses 'C:\Program Files\Tessaldo\RICHTX32.OCX'
close
remove
[ "$(cat "$system32/RICHTX32.OCX")" = $'un altro RICHTX32.OCX\r' ] || fail "the foreign file changed"
echo "Setup test passed ($(stat -c %s "$setup") bytes)"
