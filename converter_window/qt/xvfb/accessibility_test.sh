#!/usr/bin/env bash
# `bin` as a screen reader meets it: on Xvfb, with a D-Bus session and the AT-SPI bus, a client
# finds the fields and pictures by their names and edits the decimal field through AT-SPI.
# Usage: accessibility_test.sh <bin>
set -euo pipefail
bin=$1
source "$(dirname "$0")/../../../cmake/xvfb-session.sh"
python=/usr/bin/python3 # Debian's, which has the AT-SPI bindings
command -v dbus-run-session >/dev/null || fail "dbus-run-session is not installed (dbus-daemon)"
[ -x /usr/libexec/at-spi-bus-launcher ] || fail "the AT-SPI bus is not installed (at-spi2-core)"
"$python" -c 'import pyatspi' 2>/dev/null || fail "pyatspi is not installed (python3-pyatspi)"
start_xvfb 1024 768
# The client starts and ends `bin`, and the session's buses end with it; their chatter is left out.
chatter='Failed to set fd limit|Activating service|Successfully activated|SpiRegistry daemon is running'
HOME=$work XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  dbus-run-session -- "$python" "$(dirname "$0")/accessibility_client.py" "$bin" 2>&1 |
  grep -v -E "$chatter"
