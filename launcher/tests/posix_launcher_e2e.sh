#!/usr/bin/env bash
# The POSIX launcher as a program: a test build whose system directory lies in
# the build tree runs from a program directory with a blank in its name. `bin`,
# the system directory's regsvr32 (around the project's own) and pkexec, found
# on PATH, are scripts that leave a mark of how they were started.
# Usage: posix_launcher_e2e.sh <launcher> <regsvr32> <RICHTX32.OCX> <system dir>
set -euo pipefail
launcher=$1 companion=$2 control=$3 system=$4
work=$(mktemp -d)
trap 'chmod -R u+w "$system"; rm -rf "$work" "$system"' EXIT
program="$work/Programmi Tessaldo"
rm -rf "$system"
mkdir -p "$program" "$work/path" "$work/marks" "$system"
chmod 755 "$work" "$system" && chmod 777 "$work/marks"
cp "$launcher" "$program/Tessaldo" && cp "$control" "$program/RICHTX32.OCX"
failures=0
fail() { echo "FAIL: $*" && failures=$((failures + 1)); }
check() { [ "$2" = "$3" ] || fail "$1: '$2', expected '$3'"; }

# marker <script> <mark> [command]: runs the command, then appends to the mark
# its user, working directory, status, executable and arguments.
marker() {
  printf '#!/bin/sh\n%s\ns=$?\n{ echo "$(id -u) $(pwd) $s"; printf "%%s\\n" "$0" "$@"; } >>"%s"\nexit $s\n' \
    "${3:-true}" "$work/marks/$2" >"$1"
  chmod 755 "$1"
}
marker "$program/bin" bin
marker "$system/regsvr32" regsvr32 "'$companion' \"\$@\""
marker "$work/path/pkexec" pkexec '"$@"' # the elevated step, granted no rights

# run <user> <PATH>: starts the launcher from the work directory; its status
# once it and every program it started have ended (they hold its output).
run() {
  local as=()
  [ "$1" = me ] || as=("$setpriv" --reuid="$1" --regid="$1" --clear-groups)
  rm -f "$work"/marks/*
  (cd "$work" && PATH=$2 "${as[@]}" "$program/Tessaldo" && echo 0 || echo $?) | tail -n 1
}
mark() { cat "$work/marks/$1" 2>/dev/null || echo none; }
me=$(id -u) setpriv=$(command -v setpriv)
nl=$'\n'

check "first start" "$(run me /usr/bin:/bin)" 0
cmp -s "$control" "$system/RICHTX32.OCX" || fail "the control was not copied whole"
check "system directory" "$(ls "$system" | tr '\n' ' ')" "RICHTX32.OCX regsvr32 "
check "registration" "$(mark regsvr32)" "$me $work 0$nl$system/regsvr32$nl/s${nl}RICHTX32.OCX"
check "bin" "$(mark bin)" "$me $work 0$nl$program/bin"
echo "copia di sistema" >"$system/RICHTX32.OCX"
check "second start" "$(run me /usr/bin:/bin)" 0
check "installed control" "$(cat "$system/RICHTX32.OCX")" "copia di sistema"
check "registration again" "$(mark regsvr32)" "$me $work 0$nl$system/regsvr32$nl/s${nl}RICHTX32.OCX"
check "bin again" "$(mark bin)" "$me $work 0$nl$program/bin"
check "regsvr32 of a missing file" "$("$companion" /s MANCA.OCX && echo 0 || echo $?)" 3

rm "$system/RICHTX32.OCX" "$program/RICHTX32.OCX"
check "control missing everywhere" "$(run me /usr/bin:/bin)" 1
check "nothing started" "$(mark regsvr32) $(mark bin)" "none none"

# The copy refused: as nobody where the test runs as root, else read-only.
cp "$control" "$program/RICHTX32.OCX"
user=me
if [ "$me" = 0 ]; then user=65534; else chmod 555 "$system"; fi
uid=$([ "$user" = me ] && echo "$me" || echo "$user")
check "refused copy" "$(run "$user" "$work/path:/usr/bin:/bin")" 1
# pkexec was asked once; its step, refused again, did not ask once more.
check "pkexec" "$(mark pkexec)" \
  "$uid $program 1$nl$work/path/pkexec$nl$program/Tessaldo$nl--passo-elevato"
check "nothing started when refused" "$(mark regsvr32) $(mark bin)" "none none"
check "refused without pkexec" "$(run "$user" /nonexistent)" 1
check "nothing started without pkexec" "$(mark pkexec) $(mark bin)" "none none"
[ ! -e "$system/RICHTX32.OCX" ] || fail "a refused copy left the control"

[ "$failures" -eq 0 ] && echo "POSIX launcher test passed"
