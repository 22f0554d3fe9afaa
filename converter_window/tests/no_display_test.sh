#!/usr/bin/env bash
# `bin` where no display answers: it ends with status 1 and one line on standard error that
# names what is missing and how to get a display, never with Qt's abort.
# Usage: no_display_test.sh <bin>
set -euo pipefail
bin=$1
source "$(dirname "$0")/../../cmake/xvfb-session.sh"
# A display number that no server holds.
n=900
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
nowhere=tessaldo-nessun-compositore

# environment | what the line names
cases=(
  "|nessun display X11 o Wayland (DISPLAY e WAYLAND_DISPLAY non sono impostate)"
  "QT_QPA_PLATFORM=xcb|nessun display X11 o Wayland (DISPLAY e WAYLAND_DISPLAY non sono impostate)"
  "DISPLAY=:$n|nessun display X11 o Wayland raggiungibile (DISPLAY=:$n non risponde)"
  "WAYLAND_DISPLAY=$nowhere|nessun display X11 o Wayland raggiungibile (WAYLAND_DISPLAY=$nowhere non risponde)"
  "DISPLAY=:$n WAYLAND_DISPLAY=$nowhere|nessun display X11 o Wayland raggiungibile (DISPLAY=:$n e WAYLAND_DISPLAY=$nowhere non rispondono)"
)
how="; avviare il programma in una sessione grafica, con ssh -X o con xvfb-run"
for case in "${cases[@]}"; do
  variables=${case%%|*} status=0
  # shellcheck disable=SC2086 # the variables are words
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE $variables \
    "$bin" >"$work/out" 2>"$work/err" </dev/null || status=$?
  # The status, standard output, then standard error: one line, nothing else.
  got="$status|$(cat "$work/out")|$(cat "$work/err")"
  [ "$got" = "1||bin: ${case#*|}$how" ] || fail "[$variables] status|output|error: $got"
  echo "[$variables] $(cat "$work/err")"
done
