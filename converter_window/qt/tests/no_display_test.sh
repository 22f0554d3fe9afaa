#!/usr/bin/env bash
# `bin` where Qt cannot open a display (none, one that does not answer, or no platform plugin
# for it), with and without a runtime directory: status 1 and, last on standard error, one line
# that names what is missing and how to get it, never Qt's abort. Usage: no_display_test.sh <bin>
set -euo pipefail
bin=$1
source "$(dirname "$0")/../../../cmake/xvfb-session.sh"
n=900 # a display number that no server holds
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
wl=tessaldo-nessun-compositore none="nessun display X11 o Wayland"
how="; avviare il programma in una sessione grafica, con ssh -X o con xvfb-run"
# run_bin <variables> <what bin's line should match>: status 1, no output, and bin's one line
# last on standard error. Qt's Wayland client may print its own complaint before it.
run_bin() {
  local status=0
  # shellcheck disable=SC2086 # the variables are words
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE -u XDG_RUNTIME_DIR $1 \
    "$bin" >"$work/out" 2>"$work/err" </dev/null || status=$?
  local last
  last=$(tail -n 1 "$work/err")
  if [[ "$status|$(cat "$work/out")|$last" != "1||bin: "$2 ]] ||
    [ "$(grep -c '^bin:' "$work/err")" != 1 ]; then
    fail "[$1] status $status, output: $(cat "$work/out"), error: $(cat "$work/err")"
  fi
}
runtime=$work/runtime # a session's runtime directory, its own user's only
mkdir -m 700 "$runtime"
for platform in "" QT_QPA_PLATFORM=xcb; do
  for xdg in "" XDG_RUNTIME_DIR=$runtime; do
    run_bin "$platform $xdg" "$none (DISPLAY e WAYLAND_DISPLAY non sono impostate)$how"
  done
done
run_bin "DISPLAY=:$n" "$none raggiungibile (DISPLAY=:$n non risponde)$how"
for xdg in "" XDG_RUNTIME_DIR=$runtime XDG_RUNTIME_DIR=relativo; do
  why=
  case $xdg in
  "") why="; XDG_RUNTIME_DIR non è impostata" ;;
  *=relativo) why="; XDG_RUNTIME_DIR non è un percorso assoluto" ;;
  esac
  run_bin "$xdg WAYLAND_DISPLAY=$wl" "$none raggiungibile (WAYLAND_DISPLAY=$wl non risponde$why)$how"
  run_bin "$xdg DISPLAY=:$n WAYLAND_DISPLAY=$wl" \
    "$none raggiungibile (DISPLAY=:$n e WAYLAND_DISPLAY=$wl non rispondono$why)$how"
done
run_bin "WAYLAND_DISPLAY=$runtime/$wl" "$none raggiungibile (WAYLAND_DISPLAY=$runtime/$wl non risponde)$how"
# A display that answers but no platform plugin for it: what Qt said, and the package to install.
start_xvfb 320 240
run_bin "DISPLAY=$DISPLAY QT_QPA_PLATFORM=tessaldo-nessun-plugin" \
  "Qt non riesce ad aprire il display ("*"tessaldo-nessun-plugin"*"); installare qt6-qpa-plugins"
