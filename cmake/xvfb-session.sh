# Sourced by the tests that run the programs on a real X server (Xvfb).
# Gives: $work (a scratch directory), fail, wait_for, start_xvfb; everything
# started and recorded in `pids` ends with the test.
work=$(mktemp -d)
pids=()
claims=()
xvfbs=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  # A display number is given up only once its server has ended, sockets and all.
  for pid in "${xvfbs[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work" "${claims[@]}"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# wait_for <seconds> <command...>: polls the command until it succeeds.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# start_xvfb <width> <height>: a fresh server on a free display, exported as DISPLAY.
# Tests run side by side: each claims its display number under one lock (a claim whose owner
# has ended is taken over), and gives it up only once its server has ended.
start_xvfb() {
  local n claim lock
  for n in $(seq 90 189); do
    claim=/tmp/.tessaldo-xvfb-$n
    exec {lock}>>/tmp/.tessaldo-xvfb.lock
    flock "$lock"
    if [ -e "$claim" ] && kill -0 "$(cat "$claim" 2>/dev/null || echo 0)" 2>/dev/null; then
      exec {lock}>&-
      continue
    fi
    echo $$ >"$claim"
    exec {lock}>&-
    claims+=("$claim")
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "$1x$2x24" -nolisten tcp -noreset 2>"$work/xvfb.log" &
    pids+=($!) xvfbs+=($!)
    # The server that answers is this one: its lock names it. -noreset: a client that
    # leaves never resets the server under the next one.
    if wait_for 20 sh -c "kill -0 $! 2>/dev/null && [ \"\$(tr -d ' ' 2>/dev/null </tmp/.X$n-lock)\" = $! ] &&
        DISPLAY=:$n xprop -root >/dev/null 2>&1"; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  fail "Xvfb did not start: $(cat "$work/xvfb.log")"
}
