#!/usr/bin/env bash
# Installs the build tree into its prefix, checks the layout, then starts the
# installed launcher on a real X server and sees the converter's window come.
# Usage: install_test.sh <build dir> <prefix> <libdir>
set -euo pipefail
build=$1
prefix=$2
libdir=$3
here=$(dirname "$0")
source "$here/../../cmake/xvfb-session.sh"
source "$here/layout.sh"

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
  cat "$work/install.log"
  fail "the install failed"
}
check_layout "" "$prefix" "$libdir"
system="$prefix/$libdir/tessaldo/system"
[ ! -e "$system/RICHTX32.OCX" ] || fail "RICHTX32.OCX is in the system directory before any start"

start_xvfb 1024 768
QT_QPA_PLATFORM=xcb "$prefix/bin/tessaldo" || fail "the launcher failed (status $?)"
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tessaldo$' | head -n 1) ||
  fail "no converter window appeared"
pid=$(xdotool getwindowpid "$window")
pids+=("$pid")
[ "$(realpath "/proc/$pid/exe")" = "$(realpath "$prefix/$libdir/tessaldo/bin")" ] ||
  fail "the window belongs to $(realpath "/proc/$pid/exe")"
cmp -s "$system/RICHTX32.OCX" "$prefix/$libdir/tessaldo/RICHTX32.OCX" ||
  fail "the launcher did not copy RICHTX32.OCX into its system directory"
echo "installed into $prefix; the launcher placed RICHTX32.OCX and started bin (pid $pid)"
