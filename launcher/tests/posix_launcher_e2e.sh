#!/usr/bin/env bash
# A test build of the launcher, whose system directory lies in the build tree,
# from a program directory with a blank in its name. `bin`, regsvr32 (around
# the project's own) and pkexec on PATH leave a mark of how they were started.
# Usage: posix_launcher_e2e.sh <launcher> <regsvr32> <RICHTX32.OCX> <system dir>
set -euo pipefail
system=$4 work=$(mktemp -d) me=$(id -u) setpriv=$(command -v setpriv) nl=$'\n'
trap 'chmod -R u+w "$system"; rm -rf "$work" "$system"' EXIT
program="$work/Programmi Tessaldo"
rm -rf "$system" && mkdir -p "$program" "$work/path" "$work/marks" "$system"
chmod 755 "$work" "$system" && chmod 777 "$work/marks"
cp "$1" "$program/Tessaldo" && cp "$3" "$program/RICHTX32.OCX"
failures=0
check() { [ "$2" = "$3" ] || { echo "FAIL: $1: '$2', expected '$3'" && failures=$((failures + 1)); }; }

# marker <script> <mark> [command]: runs the command, then adds its user,
# directory, status, executable and arguments to the mark.
marker() {
  printf '#!/bin/sh\n%s\ns=$?\n{ echo "$(id -u) $(pwd) $s"; printf "%%s\\n" "$0" "$@"; } >>"%s"\nexit $s\n' \
    "${3:-true}" "$work/marks/$2" >"$1" && chmod 755 "$1"
}
marker "$program/bin" bin
marker "$system/regsvr32" regsvr32 "'$2' \"\$@\""
marker "$work/path/pkexec" pkexec '"$@"' # the elevated step, granted no rights

# run <user> <PATH>: starts the launcher from the work directory; its status
# once it and every program it started have ended (they hold its output).
run() {
  local as=()
  [ "$1" = "$me" ] || as=("$setpriv" --reuid="$1" --regid="$1" --clear-groups)
  rm -f "$work"/marks/*
  (cd "$work" && PATH=$2 "${as[@]}" "$program/Tessaldo" && echo 0 || echo $?) | tail -n 1
}
marks() { for m in "$@"; do cat "$work/marks/$m" 2>/dev/null || echo "no $m"; done; }

check "first start" "$(run "$me" /usr/bin:/bin)" 0
cmp -s "$3" "$system/RICHTX32.OCX" || check "copied control" different same
check "system directory" "$(ls "$system" | tr '\n' ' ')" "RICHTX32.OCX regsvr32 "
check "started" "$(marks regsvr32 bin)" "$me $work 0$nl$system/regsvr32$nl/s${nl}RICHTX32.OCX$nl$me $work 0$nl$program/bin"
echo "copia di sistema" >"$system/RICHTX32.OCX"
check "second start" "$(run "$me" /usr/bin:/bin) $(cat "$system/RICHTX32.OCX")" "0 copia di sistema"
rm "$system/RICHTX32.OCX" "$program/RICHTX32.OCX"
check "control missing everywhere" "$(run "$me" /usr/bin:/bin) $(marks regsvr32 bin)" "1 no regsvr32${nl}no bin"

# The copy refused: as nobody where the test runs as root, else read-only.
# pkexec is asked once; its step, refused again, does not ask once more.
cp "$3" "$program/RICHTX32.OCX"
user=$me
if [ "$me" = 0 ]; then user=65534; else chmod 555 "$system"; fi
check "refused copy" "$(run "$user" "$work/path:/usr/bin:/bin") $(marks pkexec regsvr32 bin)" \
  "1 $user $program 1$nl$work/path/pkexec$nl$program/Tessaldo$nl--passo-elevato${nl}no regsvr32${nl}no bin"
check "refused without pkexec" "$(run "$user" /nonexistent) $(marks pkexec bin)" "1 no pkexec${nl}no bin"
chmod 755 "$system" && check "after refusals" "$(ls "$system")" regsvr32
[ "$failures" = 0 ] && echo "POSIX launcher test passed"
