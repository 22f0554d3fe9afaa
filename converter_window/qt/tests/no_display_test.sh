#!/usr/bin/env bash
# `bin` where Qt cannot open a display (none, one that does not answer, or no platform plugin
# for it): it ends with status 1 and one line on standard error that names what is missing and
# how to get it, never with Qt's abort.
# Usage: no_display_test.sh <bin>
set -euo pipefail
bin=$1
source "$(dirname "$0")/../../../cmake/xvfb-session.sh"
# A display number that no server holds.
n=900
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
nowhere=tessaldo-nessun-compositore noplugin=tessaldo-nessun-plugin

# environment | what the line names
cases=(
  "|nessun display X11 o Wayland (DISPLAY e WAYLAND_DISPLAY non sono impostate)"
  "QT_QPA_PLATFORM=xcb|nessun display X11 o Wayland (DISPLAY e WAYLAND_DISPLAY non sono impostate)"
  "DISPLAY=:$n|nessun display X11 o Wayland raggiungibile (DISPLAY=:$n non risponde)"
  "WAYLAND_DISPLAY=$nowhere|nessun display X11 o Wayland raggiungibile (WAYLAND_DISPLAY=$nowhere non risponde)"
  "DISPLAY=:$n WAYLAND_DISPLAY=$nowhere|nessun display X11 o Wayland raggiungibile (DISPLAY=:$n e WAYLAND_DISPLAY=$nowhere non rispondono)"
)
how="; avviare il programma in una sessione grafica, con ssh -X o con xvfb-run"
# run_bin <variables>: $got is the status, standard output, then standard error of bin.
run_bin() {
  local status=0
  # shellcheck disable=SC2086 # the variables are words
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE $1 \
    "$bin" >"$work/out" 2>"$work/err" </dev/null || status=$?
  got="$status|$(cat "$work/out")|$(cat "$work/err")"
  echo "[$1] $(cat "$work/err")"
}
for case in "${cases[@]}"; do
  run_bin "${case%%|*}"
  [ "$got" = "1||bin: ${case#*|}$how" ] || fail "[${case%%|*}] status|output|error: $got"
done
# A display that answers but no platform plugin for it: what Qt said, and the package to install.
start_xvfb 320 240
run_bin "DISPLAY=$DISPLAY QT_QPA_PLATFORM=$noplugin"
[[ "$got" == "1||bin: Qt non riesce ad aprire il display ("*"$noplugin"*"); installare qt6-qpa-plugins" ]] ||
  fail "[a plugin that is not there] status|output|error: $got"
