#!/usr/bin/env bash
# `bin` where Qt cannot open a display (none, one that does not answer, or no platform plugin
# for it): status 1 and one line on standard error that names what is missing and how to get
# it, never Qt's abort. Usage: no_display_test.sh <bin>
set -euo pipefail
bin=$1
source "$(dirname "$0")/../../../cmake/xvfb-session.sh"
n=900 # a display number that no server holds
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
wl=tessaldo-nessun-compositore none="nessun display X11 o Wayland"
how="; avviare il programma in una sessione grafica, con ssh -X o con xvfb-run"
# run_bin <variables> <what standard error should match>: status 1, no output, that one line.
run_bin() {
  local status=0
  # shellcheck disable=SC2086 # the variables are words
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE $1 \
    "$bin" >"$work/out" 2>"$work/err" </dev/null || status=$?
  local got="$status|$(cat "$work/out")|$(cat "$work/err")"
  [[ "$got" == "1||bin: "$2 ]] || fail "[$1] status|output|error: $got"
}
for platform in "" QT_QPA_PLATFORM=xcb; do
  run_bin "$platform" "$none (DISPLAY e WAYLAND_DISPLAY non sono impostate)$how"
done
run_bin "DISPLAY=:$n" "$none raggiungibile (DISPLAY=:$n non risponde)$how"
run_bin "WAYLAND_DISPLAY=$wl" "$none raggiungibile (WAYLAND_DISPLAY=$wl non risponde)$how"
run_bin "DISPLAY=:$n WAYLAND_DISPLAY=$wl" "$none raggiungibile (DISPLAY=:$n e WAYLAND_DISPLAY=$wl non rispondono)$how"
# A display that answers but no platform plugin for it: what Qt said, and the package to install.
start_xvfb 320 240
run_bin "DISPLAY=$DISPLAY QT_QPA_PLATFORM=tessaldo-nessun-plugin" \
  "Qt non riesce ad aprire il display ("*"tessaldo-nessun-plugin"*"); installare qt6-qpa-plugins"
