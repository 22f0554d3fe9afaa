#!/usr/bin/env bash
# The one way the tests reach Wine.
#   wine-run.sh <program> [argument...]   runs a Windows program quietly, in WINEPREFIX
#                                         (default: ./wineprefix)
#   wine-run.sh --tests-prefix <dir> ...  the same in <dir>, the prefix the tests share: made
#                                         once, under a lock, with Wine's null graphics driver
#   source wine-run.sh                    gives a test script $wine, $wineserver and the quiet
#                                         environment
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine || echo wine)
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
[ "${BASH_SOURCE[0]}" = "$0" ] || return 0

set -euo pipefail
if [ "${1:-}" = --tests-prefix ]; then
  export WINEPREFIX=$2
  shift 2
  exec {lock}>>"$WINEPREFIX.lock"
  flock "$lock"
  # The driver takes effect once the prefix's server has ended.
  if [ ! -e "$WINEPREFIX/.null-driver" ]; then
    "$wine" wineboot --init >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    "$wineserver" -w
    touch "$WINEPREFIX/.null-driver"
  fi
  exec {lock}>&-
fi
export WINEPREFIX=${WINEPREFIX:-$PWD/wineprefix}
exec "$wine" "$@"
