#!/usr/bin/env bash
# The setup program in a fresh Wine prefix on Xvfb: a folder outside Program Files refused; a
# silent install, a start through the Start-menu shortcut (a number typed on the X keyboard, the
# about window opened), a silent uninstall that leaves nothing; then, with a foreign RICHTX32.OCX
# in system32, both clicked through. A control a plain user planted (<planted.dll>, which marks
# when its code runs) is registered for the converter, put into system32 and, as msimg32.dll and
# msftedit.dll, beside bin.exe: it never runs.
# Usage: setup_wine_test.sh <setup.exe> <window_probe.exe> <program dir> <artefacts dir> <planted.dll>
set -euo pipefail
setup=$1 probe=$2 built=$3 artefacts=$4 planted=$5
source "$(dirname "$0")/../../../cmake/xvfb-session.sh"
source "$(dirname "$0")/../../../cmake/wine-run.sh"
export WINEPREFIX="$work/prefix"
trap '"$wineserver" -k >/dev/null 2>&1 || true; cleanup' EXIT
mkdir -p "$artefacts"
start_xvfb 1024 768
"$wine" wineboot --init >/dev/null 2>&1 && timeout 120 "$wineserver" -w

drive=$WINEPREFIX/drive_c
folder="$drive/Program Files/Tessaldo" beside='C:\Program Files\Tessaldo\RICHTX32.OCX'
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessaldo.lnk"
system32=$drive/windows/system32 piantato=$drive/users/Public/piantato
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaldo'
clsid='CLSID\{160DC074-F8EB-42E8-98D0-C90872887B9B}'
server_key="HKLM\Software\Classes\\$clsid\InprocServer32"
version=$(sed -n 's/.*tessaldo-\(.*\)-setup\.exe$/\1/p' <<<"$setup")
exists() { "$wine" reg query "$1" >/dev/null 2>&1; }
look() { "$wine" "$probe" "$@" | tr -d '\r'; }
installed() {
  for file in bin.exe Tessaldo.exe RICHTX32.OCX left.jpg right.jpg; do
    cmp "$built/$file" "$folder/$file" || fail "$file is not installed"
  done
  [ -f "$folder/Disinstalla Tessaldo.exe" ] && [ "$(ls "$folder" | wc -l)" -eq 6 ] &&
    exists "$uninstall_key" || fail "not the installed files, or no uninstall entry: $(ls "$folder")"
}
# start [program]: the shortcut started as the Start menu does, or the program; opened: the
# converter's window came, with the control as Text6; $probed is what the probe saw of it.
start() { "$wine" start /unix "${1:-$shortcut}" && opened; }
opened() {
  wait_for 60 xdotool search --name '^Tessaldo$' >/dev/null || fail "no window titled Tessaldo"
  probed=$(look Tessaldo 5) || fail "the window is not a Windows one"
  grep -q '^child=TessaldoTesto256|' <<<"$probed" || fail "Text6 is not the control: $probed"
}
uses() { grep -qxF "module=$1" <<<"$probed" || fail "the control is not from $1: $probed"; }
close() { look Tessaldo 10 close >/dev/null && timeout 60 "$wineserver" -w || fail "no close"; }
# press <caption> <text>: once the window shows the text, Return, its default button.
has() { look "$1" 5 | grep -qF "$2"; }
press() {
  wait_for 60 has "$1" "$2" || fail "'$1' never showed '$2': $(look "$1" 5)"
  xdotool windowfocus --sync "$(xdotool search --name "^$1\$" | head -n 1)" key Return
}
# removed: nothing left, and no planted control ran.
removed() {
  timeout 60 "$wineserver" -w
  [ ! -e "$folder" ] && [ ! -e "$shortcut" ] || fail "left: $(ls "$folder" "$shortcut" 2>&1)"
  ! exists "$uninstall_key" && ! exists "$server_key" && ! exists 'HKLM\Software\Classes\Tessaldo.Testo256' ||
    fail "the uninstall entry or the registration is left"
  [ -z "$(ls "$piantato"/*.eseguito "$system32"/*.eseguito 2>/dev/null)" ] || fail "a planted control ran"
}

# A folder outside Program Files is refused, and nothing is installed.
! "$wine" "$setup" /S '/D=C:\Tessaldo' || fail "the setup took C:\Tessaldo"
[ ! -e "$drive/Tessaldo" ] && ! exists "$uninstall_key" || fail "installed into C:\Tessaldo"

# 1. A clean machine: the launcher installs the control and regsvr32 registers it. The first
# converter starts alongside the registration and may still take the copy beside it; from the
# second start on it takes the registered one.
"$wine" "$setup" /S || fail "the silent install ended with $?"
installed
[ ! -e "$system32/RICHTX32.OCX" ] || fail "the setup itself put the control into system32"
start
wait_for 30 exists "$server_key" || fail "regsvr32 did not register the control"
close
# The planted control registered under the control's class in the user's own classes, which
# Windows lays over the machine's in HKCR. Wine 8 does not, so the same value in the machine's
# classes stands in for that view. The converter started by itself takes the copy beside it.
# msimg32.dll and msftedit.dll planted beside bin.exe, native DLLs preferred as Windows prefers
# them, stay there to the uninstall: they never run, though one loaded does (as regsvr32 shows).
mkdir -p "$piantato" && cp "$planted" "$piantato/RICHTX32.OCX"
for dll in msimg32 msftedit; do cp "$planted" "$folder/$dll.dll"; done
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msimg32,msftedit=n,b"
"$wine" regsvr32 /s "$folder/msimg32.dll" || true
rm "$folder/msimg32.dll.eseguito" || fail "the planted DLL does not run even when it is loaded"
for root in HKCU HKLM; do
  "$wine" reg add "$root\Software\Classes\\$clsid\InprocServer32" /ve \
    /d 'C:\users\Public\piantato\RICHTX32.OCX' /f >/dev/null 2>&1 || fail "could not plant"
done
start "$folder/bin.exe"; uses "$beside"; close
"$wine" regsvr32 /s 'C:\windows\system32\RICHTX32.OCX' # the machine's registration again
start; uses 'C:\windows\system32\RICHTX32.OCX'
# A number typed on the X server's keyboard converted into every field, the control's included
# (the grab: bin_win32.png); the emblem's click opens the about window; bin.exe ends with the
# last of its windows.
form=$(xdotool search --name '^Tessaldo$' | head -n 1)
xdotool windowfocus --sync "$form" type --delay 100 4096
typed() { fields=$(look Tessaldo 5 | grep '^Text[0-9]\(Raw\)\?=' | paste -sd ';'); [ "$fields" = \
  'Text1=4096;Text2=1000000000000;Text3=10000;Text4=1000;Text5=Conversione impossibile (>3999);Text6Raw=|| DLE || NUL || ;Text6=| DLE | NUL | ' ]; }
wait_for 30 typed || fail "the fields do not show 4096: $fields"
import -window "$form" "$artefacts/bin_win32.png"
read -r left top right bottom < <(look Tessaldo 5 | sed -n 's/^Image1.rect=//p')
xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click 1
look Autore 30 >/dev/null || fail "the about window did not open"
import -window "$(xdotool search --onlyvisible --name '^Autore$' | head -n 1)" "$artefacts/about_win32.png"
look Tessaldo 10 close >/dev/null || fail "no converter window to close"
wait_for 10 sh -c "! xdotool search --onlyvisible --name '^Tessaldo\$' >/dev/null" || fail "Form1 did not close"
look Autore 5 close >/dev/null || fail "the about window went with Form1"
timeout 60 "$wineserver" -w || fail "bin.exe did not end after its last window closed"
[ -z "$(ls "$folder"/*.eseguito 2>/dev/null)" ] || fail "a DLL planted beside bin.exe ran"
rm "$folder/msimg32.dll" "$folder/msftedit.dll"
# The uninstaller removes the registration itself and deletes the control unrun: in its place,
# a file with the project's identity.
cp "$planted" "$system32/RICHTX32.OCX"
"$wine" 'C:\Program Files\Tessaldo\Disinstalla Tessaldo.exe' /S
removed
[ ! -e "$system32/RICHTX32.OCX" ] || fail "the project's control is left in system32"

# 2. A foreign RICHTX32.OCX in system32. The setup clicked through: the licence, the folder, the
# last page, which starts Tessaldo through the shell; the control beside bin.exe is used and the
# foreign file left alone. The uninstaller clicked through: its last page says it uninstalled.
printf 'un altro RICHTX32.OCX\r\n' >"$system32/RICHTX32.OCX"
"$wine" "$setup" &
for text in 'Permission is hereby granted' 'Spazio richiesto' "Tessaldo $version è stato installato"; do
  press "Installazione di Tessaldo $version " "$text"
done
opened; installed; uses "$beside"; close
uninstaller="Disinstallazione di Tessaldo $version "
"$wine" 'C:\Program Files\Tessaldo\Disinstalla Tessaldo.exe' &
press "$uninstaller" 'Rimozione da:'
# Its header and, in place of NSIS's "Installazione completata", its status line.
finished() { [ "$(look "$uninstaller" 5 | grep -cx '.*|Disinstallazione completata')" = 2 ]; }
wait_for 60 finished || fail "the uninstaller ends with: $(look "$uninstaller" 5)"
press "$uninstaller" 'Disinstallazione completata'
removed
[ "$(cat "$system32/RICHTX32.OCX")" = $'un altro RICHTX32.OCX\r' ] || fail "the foreign file changed"
echo "Setup test passed ($(stat -c %s "$setup") bytes)"
