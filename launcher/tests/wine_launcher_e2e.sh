#!/usr/bin/env bash
# Tessaldo.exe in a fresh Wine prefix, installed (as the setup records it) in a program directory
# with a blank in its path, beside a read-only control; then a copy of it elsewhere, beside a
# planted control.
# bin.exe, system32's regsvr32.exe and Programmi.exe (which an unquoted command line would
# start) are a marker program that leaves "<its exe>.mark" with its command line and window style.
# Usage: wine_launcher_e2e.sh <Tessaldo.exe> <marker.exe> <RICHTX32.OCX> <work dir> <planted.dll>
set -euo pipefail
work=$4
source "$(dirname "$0")/../../cmake/wine-run.sh" # $wine, $wineserver
fail() { echo "FAIL: $*" && exit 1; }
rm -rf "$work" && mkdir -p "$work"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# No Mono or Gecko installers; the marker, not Wine's own regsvr32.exe.
export WINEDLLOVERRIDES="mscoree,mshtml=;regsvr32.exe=n"
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
"$wine" wineboot --init >/dev/null 2>&1 && timeout 120 "$wineserver" -w

system32="$WINEPREFIX/drive_c/windows/system32"
program="$work/Programmi Tessaldo"
mkdir -p "$program"
cp "$1" "$program/Tessaldo.exe" && cp "$3" "$program/RICHTX32.OCX" && chmod a-w "$program/RICHTX32.OCX"
for marker in "$program/bin.exe" "$system32/regsvr32.exe" "$work/Programmi.exe"; do cp "$2" "$marker"; done
"$wine" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaldo' /v InstallLocation \
  /d "$("$wine" winepath -w "$program" 2>/dev/null | tr -d '\r')" /f >/dev/null 2>&1
# marks <file...>: the command lines and window styles the marker programs left, '|' between.
marks() { cat "$@" 2>/dev/null | sed 's/^[a-z]*=//' | tr -d '\r' | paste -sd '|' || true; }
(cd "$work" && "$wine" "$program/Tessaldo.exe") || fail "Tessaldo.exe ended with $?"
timeout 120 "$wineserver" -w # every program started has ended and left its mark

bin=$("$wine" winepath -w "$program/bin.exe" 2>/dev/null | tr -d '\r')
registered='regsvr32 /s "C:\windows\system32\RICHTX32.OCX"|2'
[ "$(marks "$system32/regsvr32.exe.mark" "$program/bin.exe.mark")" = "$registered|\"$bin\"|1" ] ||
  fail "started as '$(marks "$system32/regsvr32.exe.mark" "$program/bin.exe.mark")'"
cmp "$3" "$system32/RICHTX32.OCX" || fail "the control is not in system32"
[ -n "$(find "$system32/RICHTX32.OCX" -perm -u+w)" ] || fail "the copy in system32 is read-only"
[ ! -e "$work/Programmi.exe.mark" ] || fail "Programmi.exe was started"

# The elevated step copies and registers, and starts no converter.
rm -f "$system32/RICHTX32.OCX" "$system32/regsvr32.exe.mark" "$program/bin.exe.mark"
(cd "$work" && "$wine" "$program/Tessaldo.exe" --passo-elevato) || fail "the step ended with $?"
timeout 60 "$wineserver" -w
[ "$(marks "$system32/regsvr32.exe.mark" "$program/bin.exe.mark")" = "$registered" ] ||
  fail "the step started '$(marks "$system32/regsvr32.exe.mark" "$program/bin.exe.mark")'"
cmp "$3" "$system32/RICHTX32.OCX" || fail "the step did not install the control"

# A folder of the control's name in system32: the copy into place is refused. Wine's user holds
# an elevated token already, so no restart is asked for: the run ends, nothing is started and no
# temporary copy is left behind.
rm -f "$system32/RICHTX32.OCX" "$system32"/regsvr32.exe.mark "$program/bin.exe.mark"
mkdir "$system32/RICHTX32.OCX"
! (cd "$work" && "$wine" "$program/Tessaldo.exe") || fail "a refused copy ended well"
timeout 60 "$wineserver" -w || fail "the launcher did not end"
[ -z "$(ls "$system32"/regsvr32.exe.mark "$program/bin.exe.mark" 2>/dev/null)" ] ||
  fail "a program was started after a refused copy"
leftover=$(find "$system32" -maxdepth 1 -name 'RICHTX32.OCX.*')
[ -z "$leftover" ] || fail "left behind: $leftover"
rmdir "$system32/RICHTX32.OCX"

# A copy of the installed launcher elsewhere, beside a planted control: it starts the bin.exe
# beside it and nothing more. Neither it nor its elevated step puts anything into system32 or
# runs regsvr32, and the planted file never runs.
copy=$WINEPREFIX/drive_c/users/Public/copy
mkdir -p "$copy" && cp "$1" "$copy/Tessaldo.exe" && cp "$2" "$copy/bin.exe" && cp "$5" "$copy/RICHTX32.OCX"
"$wine" 'C:\users\Public\copy\Tessaldo.exe' || fail "the copy ended with $?"
timeout 60 "$wineserver" -w
[ "$(marks "$copy/bin.exe.mark")" = "\"C:\users\Public\copy\bin.exe\"|1" ] || fail "the copy's bin.exe"
rm "$copy/bin.exe.mark"
! "$wine" 'C:\users\Public\copy\Tessaldo.exe' --passo-elevato || fail "the copy's step ended well"
timeout 60 "$wineserver" -w
[ -z "$(ls "$system32"/RICHTX32.OCX* "$system32/regsvr32.exe.mark" "$copy"/*.mark 2>/dev/null)" ] ||
  fail "the copy reached system32, ran regsvr32 or started bin: $(ls "$system32"/RICHTX32.OCX* "$copy")"
[ ! -e "$copy/RICHTX32.OCX.eseguito" ] || fail "the planted control ran"
echo "Wine launcher test passed" && rm -rf "$work"
