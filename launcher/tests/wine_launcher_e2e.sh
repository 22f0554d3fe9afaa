#!/usr/bin/env bash
# Tessaldo.exe in a fresh Wine prefix, installed (as the setup records it) in a folder with a blank
# in its path, beside a read-only control; then a copy of it elsewhere, beside a planted control.
# bin.exe, system32's regsvr32.exe and Programmi.exe (which an unquoted command line would start)
# are a marker program that leaves "<its exe>.mark" with its command line and window style.
# Usage: wine_launcher_e2e.sh <Tessaldo.exe> <marker.exe> <RICHTX32.OCX> <work dir> <planted.dll>
set -euo pipefail
work=$4
source "$(dirname "$0")/../../cmake/wine-run.sh" # $wine, $wineserver
fail() { echo "FAIL: $*" && exit 1; }
rm -rf "$work" && mkdir -p "$work"
# No Mono or Gecko installers; the marker, not Wine's own regsvr32.exe.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;regsvr32.exe=n"
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
"$wine" wineboot --init >/dev/null 2>&1 && timeout 120 "$wineserver" -w

system32="$WINEPREFIX/drive_c/windows/system32" program="$work/Programmi Tessaldo"
copy=$WINEPREFIX/drive_c/users/Public/copy
mkdir -p "$program" "$copy"
cp "$1" "$program/Tessaldo.exe" && cp "$3" "$program/RICHTX32.OCX" && chmod a-w "$program/RICHTX32.OCX"
cp "$1" "$copy/Tessaldo.exe" && cp "$5" "$copy/RICHTX32.OCX"
for marker in "$program/bin.exe" "$system32/regsvr32.exe" "$work/Programmi.exe" "$copy/bin.exe"; do
  cp "$2" "$marker"
done
"$wine" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaldo' /v InstallLocation \
  /d "$("$wine" winepath -w "$program" 2>/dev/null | tr -d '\r')" /f >/dev/null 2>&1
# launch <folder> [argument]: its Tessaldo.exe, to the end of every program it started; then
# $marks holds the command lines and window styles the markers left, '|' between, and they go.
launch() {
  local status=0 files=("$system32/regsvr32.exe.mark" "$1/bin.exe.mark" "$work/Programmi.exe.mark")
  (cd "$work" && "$wine" "$1/Tessaldo.exe" "${@:2}") || status=$?
  timeout 120 "$wineserver" -w
  marks=$(cat "${files[@]}" 2>/dev/null | sed 's/^[a-z]*=//' | tr -d '\r' | paste -sd '|' || true)
  rm -f "${files[@]}" && return $status
}
registered='regsvr32 /s "C:\windows\system32\RICHTX32.OCX"|2'
bin=$("$wine" winepath -w "$program/bin.exe" 2>/dev/null | tr -d '\r')

launch "$program" || fail "Tessaldo.exe ended with $?"
[ "$marks" = "$registered|\"$bin\"|1" ] || fail "started as '$marks'"
cmp "$3" "$system32/RICHTX32.OCX" || fail "the control is not in system32"
[ -n "$(find "$system32/RICHTX32.OCX" -perm -u+w)" ] || fail "the copy in system32 is read-only"

# The elevated step copies and registers, and starts no converter.
rm "$system32/RICHTX32.OCX"
launch "$program" --passo-elevato || fail "the step ended with $?"
[ "$marks" = "$registered" ] || fail "the step started '$marks'"
cmp "$3" "$system32/RICHTX32.OCX" || fail "the step did not install the control"

# A folder of the control's name in system32: the copy is refused. Wine's user holds an elevated
# token already, so no restart is asked for: nothing is started and no temporary copy is left.
rm "$system32/RICHTX32.OCX" && mkdir "$system32/RICHTX32.OCX"
! launch "$program" || fail "a refused copy ended well"
[ -z "$marks$(find "$system32" -maxdepth 1 -name 'RICHTX32.OCX.*')" ] ||
  fail "after a refused copy: '$marks', $(ls "$system32"/RICHTX32.OCX*)"
rmdir "$system32/RICHTX32.OCX"

# The copy starts the bin.exe beside it and nothing more. Neither it nor its elevated step puts
# anything into system32 or runs regsvr32, and the planted file never runs.
launch "$copy" || fail "the copy ended with $?"
[ "$marks" = '"C:\users\Public\copy\bin.exe"|1' ] || fail "the copy started '$marks'"
! launch "$copy" --passo-elevato || fail "the copy's step ended well"
[ -z "$marks$(ls "$system32"/RICHTX32.OCX* "$copy"/*.eseguito 2>/dev/null)" ] ||
  fail "the copy's step started '$marks', or reached system32 or ran the planted control"
echo "Wine launcher test passed" && rm -rf "$work"
