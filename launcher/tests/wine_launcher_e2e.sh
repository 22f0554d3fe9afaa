#!/usr/bin/env bash
# Tessaldo.exe in a fresh Wine prefix, from a program directory with a blank in its path.
# bin.exe, system32's regsvr32.exe and Programmi.exe (which an unquoted command line would
# start) are a marker program that leaves "<its exe>.mark" with its command line and window style.
# Usage: wine_launcher_e2e.sh <Tessaldo.exe> <marker.exe> <RICHTX32.OCX> <work dir>
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
cp "$1" "$program/Tessaldo.exe" && cp "$3" "$program/RICHTX32.OCX"
for marker in "$program/bin.exe" "$system32/regsvr32.exe" "$work/Programmi.exe"; do cp "$2" "$marker"; done
(cd "$work" && "$wine" "$program/Tessaldo.exe") || fail "Tessaldo.exe ended with $?"
timeout 120 "$wineserver" -w # every program started has ended and left its mark

bin=$("$wine" winepath -w "$program/bin.exe" 2>/dev/null | tr -d '\r')
marks=$(cat "$system32/regsvr32.exe.mark" "$program/bin.exe.mark" 2>/dev/null | sed 's/^[a-z]*=//' |
  tr -d '\r' | paste -sd '|' || true)
[ "$marks" = "regsvr32 /s RICHTX32.OCX|2|\"$bin\"|1" ] || fail "started as '$marks'"
cmp "$3" "$system32/RICHTX32.OCX" || fail "the control is not in system32"
[ ! -e "$work/Programmi.exe.mark" ] || fail "Programmi.exe was started"

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
echo "Wine launcher test passed" && rm -rf "$work"
