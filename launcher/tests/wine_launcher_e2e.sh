#!/usr/bin/env bash
# Tessaldo.exe under Wine, in a fresh Wine prefix of its own.
#
# The program directory has a blank in its path and holds Tessaldo.exe, the
# project's RICHTX32.OCX and a marker program as bin.exe; the prefix's
# system32\regsvr32.exe is replaced by the same marker. A marker leaves
# "<its exe>.mark" with its path, command line and window style. Programs
# that an unquoted or searched command line would start instead (Programmi.exe
# beside the program directory, regsvr32.exe in the program and the current
# directory) are markers too, and must leave no mark.
#
# First run: the control lands in system32, regsvr32 and bin.exe start.
# Second run, after the test changed the system copy: it stays as it is, and
# regsvr32 and bin.exe start again.
#
# Usage: wine_launcher_e2e.sh <Tessaldo.exe> <marker.exe> <RICHTX32.OCX> <work dir>
set -euo pipefail

launcher=$1
marker=$2
control=$3
work=$4

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine)
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || wineserver=$(dirname "$wine")/wineserver

rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
# No Mono or Gecko installers; the replaced regsvr32.exe runs as the native
# program it now is, not as Wine's built-in one.
export WINEDLLOVERRIDES="mscoree,mshtml=;regsvr32.exe=n"
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Waits for a file with a deadline, polling.
await() {
  local file=$1 deadline=$((SECONDS + 60))
  until [ -e "$file" ]; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# The value of "key=" in a mark.
field() {
  sed -n "s/^$2=//p" "$1" | tr -d '\r'
}

started=$SECONDS
"$wine" wineboot --init >/dev/null 2>&1
timeout 120 "$wineserver" -w
echo "prefix ready in $((SECONDS - started)) s"

system32="$WINEPREFIX/drive_c/windows/system32"
program="$work/Programmi Tessaldo"
mkdir -p "$program"
cp "$launcher" "$program/Tessaldo.exe"
cp "$control" "$program/RICHTX32.OCX"
cp "$marker" "$program/bin.exe"
cp "$marker" "$system32/regsvr32.exe"
cp "$marker" "$work/Programmi.exe"
cp "$marker" "$program/regsvr32.exe"
cp "$marker" "$work/regsvr32.exe"

bin_windows=$("$wine" winepath -w "$program/bin.exe" 2>/dev/null | tr -d '\r')

# run <name>: one start of the launcher from the work directory, then the
# marks of the registration and of bin.exe.
run() {
  local name=$1 status=0
  rm -f "$system32/regsvr32.exe.mark" "$program/bin.exe.mark"
  (cd "$work" && "$wine" "$program/Tessaldo.exe") || status=$?
  [ "$status" -eq 0 ] || fail "$name: Tessaldo.exe exited with $status"

  if await "$system32/regsvr32.exe.mark"; then
    local mark="$system32/regsvr32.exe.mark"
    [ "$(field "$mark" cmd)" = "regsvr32 /s RICHTX32.OCX" ] ||
      fail "$name: regsvr32 command line '$(field "$mark" cmd)'"
    [ "$(field "$mark" exe | tr '[:upper:]' '[:lower:]')" = 'c:\windows\system32\regsvr32.exe' ] ||
      fail "$name: regsvr32 started from '$(field "$mark" exe)'"
    [ "$(field "$mark" show)" = 2 ] || fail "$name: regsvr32 window style $(field "$mark" show)"
  else
    fail "$name: regsvr32 was not started"
  fi

  if await "$program/bin.exe.mark"; then
    local mark="$program/bin.exe.mark"
    [ "$(field "$mark" cmd)" = "\"$bin_windows\"" ] ||
      fail "$name: bin.exe command line '$(field "$mark" cmd)', expected '\"$bin_windows\"'"
    [ "$(field "$mark" show)" = 1 ] || fail "$name: bin.exe window style $(field "$mark" show)"
  else
    fail "$name: bin.exe was not started"
  fi

  # Every program of the prefix has ended: a program started by mistake has
  # left its mark by now.
  timeout 120 "$wineserver" -w || fail "$name: Wine's programs did not end"
  for decoy in "$work/Programmi.exe" "$program/regsvr32.exe" "$work/regsvr32.exe"; do
    [ ! -e "$decoy.mark" ] || fail "$name: $decoy was started"
  done
}

started=$SECONDS
run "first run"
if cmp -s "$control" "$system32/RICHTX32.OCX"; then
  echo "first run: RICHTX32.OCX copied into system32"
else
  fail "first run: RICHTX32.OCX is not in system32"
fi

echo "copia di sistema cambiata dal test" >"$system32/RICHTX32.OCX"
run "second run"
[ "$(cat "$system32/RICHTX32.OCX")" = "copia di sistema cambiata dal test" ] ||
  fail "second run: the system copy was replaced"
echo "two runs in $((SECONDS - started)) s"

if [ "$failures" -eq 0 ]; then
  echo "Wine launcher test passed"
  rm -rf "$work"
else
  echo "Wine launcher test: $failures failures"
  exit 1
fi
