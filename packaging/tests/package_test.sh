#!/usr/bin/env bash
# The package as a user meets it: built under umask 002, checked (lintian, whose warnings include
# folders not 0755; appstreamcli, desktop-file-validate), installed with apt-get; the polkit action
# read through polkitd; the desktop entry's command started under Xvfb by a user who is not root,
# as installed and with the control removed (a pkexec stand-in runs the elevated step as root). A
# copy of the launcher asks for nothing and its step, run as root, copies nothing. Then purged:
# nothing left. Needs root, or sudo; leaves the machine as it found it.
# Usage: package_test.sh <build dir> <libdir>
set -euo pipefail
build=$1 programs=/usr/$2/tessaldo user=tessaldo-prova nl=$'\n'
source "$(dirname "$0")/../../cmake/xvfb-session.sh"
# Root's steps: as they are when root, through sudo otherwise (which passes a kill on).
root=()
[ "$(id -u)" = 0 ] || { root=(sudo --) && sudo -v; } || fail "it installs: run it as root or with sudo"
as_root() { "${root[@]}" "$@"; }
apt() { as_root apt-get -y -qq -o DPkg::Lock::Timeout=600 "$@"; }
trap 'set +e; cleanup; apt purge tessaldo >/dev/null 2>&1; as_root userdel -r "$user" 2>/dev/null' EXIT
chmod 755 "$work"

(umask 002 && cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") ||
  fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/out/tessaldo_*.deb)
lintian -I --fail-on error,warning "$deb" | tee "$work/lintian.log" || fail "lintian reports the above"
! grep -E 'hardening-|binary-has-unneeded-section' "$work/lintian.log" || fail "not hardened"
dpkg-deb -x "$deb" "$work/files"
(cd "$work/files/usr/share" && appstreamcli validate --no-net metainfo/*.xml &&
  desktop-file-validate applications/tessaldo.desktop) || fail "metainfo or desktop entry invalid"

installed() { dpkg-query -W -f '${db:Status-Status} ${Package}\n' | sed -n 's/^installed //p' | sort; }
installed >"$work/before"
(cd "$work/out" && apt install --no-install-recommends "./$(basename "$deb")") \
  >"$work/apt.log" 2>&1 || fail "apt-get install: $(cat "$work/apt.log")"
# What the package brought along goes with it.
added=$(installed | comm -13 "$work/before" - | grep -vx tessaldo || true)
as_root useradd --create-home "$user" && uid=$(id -u "$user")

# The polkit action: exactly the installed launcher with the elevated step's argument, the
# administrator's password kept for a while; read through polkitd, on a system bus of our own.
action=org.example.tessaldo.passo-elevato polkitd=/usr/lib/polkit-1/polkitd
[ -x "$polkitd" ] || fail "no $polkitd (scripts/install-deps.sh test installs it)"
cat >"$work/bus.conf" <<X
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path=$work/bus</listen><auth>EXTERNAL</auth><policy
  context="default"><allow user="*"/><allow own="*"/><allow send_destination="*"/><allow receive_sender="*"/></policy></busconfig>
X
"${root[@]}" dbus-daemon --config-file="$work/bus.conf" --nofork & pids+=($!)
wait_for 10 test -S "$work/bus" || fail "no bus for polkitd"
"${root[@]}" env DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/bus "$polkitd" --no-debug >"$work/polkitd.log" 2>&1 & pids+=($!)
wait_for 20 sh -c "DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/bus \
  pkaction --action-id $action --verbose >$work/action 2>&1" ||
  fail "polkit does not know $action: $(cat "$work/action")"
facts=$(sed -n -e 's/^ *implicit \([a-z]*\): *\(.*\)$/\1=\2/p' \
  -e 's/^ *annotation: *org\.freedesktop\.policykit\.exec\.\([a-z0-9]*\) -> \(.*\)$/\1=\2/p' \
  "$work/action")
[ "$(sort <<<"$facts" | paste -sd ' ')" = "active=auth_admin_keep any=auth_admin_keep \
argv1=--passo-elevato inactive=auth_admin_keep path=$programs/Tessaldo" ] ||
  fail "the polkit action holds: $facts"

# The pkexec stand-in, setuid root: records who asked and with what, then runs the command as
# root with a bare environment.
cat >"$work/pkexec.c" <<C
#include <stdio.h>
#include <unistd.h>
int main(int argc, char** argv) {
  FILE* f = fopen("$work/pkexec.log", "a");
  for (int i = 0; i < argc; ++i) fprintf(f, "%d %s\n", (int)getuid(), argv[i]);
  fclose(f);
  char* env[] = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin", NULL};
  if (argc < 2 || setgid(0) != 0 || setuid(0) != 0) return 127;
  execve(argv[1], argv + 1, env);
  return 127;
}
C
mkdir -m 755 "$work/path"
cc -o "$work/path/pkexec" "$work/pkexec.c" && as_root chown root:root "$work/path/pkexec" &&
  as_root chmod 4755 "$work/path/pkexec"

start_xvfb 1024 768
command=$(sed -n 's/^Exec=//p' /usr/share/applications/tessaldo.desktop)
# start <what>: the desktop entry's command as the user; then the converter's window must come,
# owned by bin running as that user.
start() {
  as_root runuser -u "$user" -- env -i HOME="/home/$user" PATH="$work/path:/usr/bin:/bin" \
    DISPLAY="$DISPLAY" sh -c "$command" || fail "$1: the launcher ended with $?"
  local window pid
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tessaldo$' | head -n 1) ||
    fail "$1: no converter window"
  pid=$(xdotool getwindowpid "$window")
  [ "$(realpath "/proc/$pid/exe")" = "$programs/bin" ] || fail "$1: the window is not bin's"
  [ "$(stat -c %u "/proc/$pid")" = "$uid" ] || fail "$1: bin runs as $(stat -c %U "/proc/$pid")"
  [ -z "$(pgrep -u 0 -f "^$programs/bin")" ] || fail "$1: a bin runs as root"
  as_root kill "$pid" && wait_for 10 sh -c "! ps -o stat= -p $pid | grep -qv Z" || fail "$1: bin lives"
}
start "first start"
[ ! -e "$work/pkexec.log" ] || fail "the first start asked for rights"
as_root rm "$programs/system/RICHTX32.OCX"
start "start without the control"
[ "$(cat "$work/pkexec.log")" = "$uid pkexec$nl$uid $programs/Tessaldo$nl$uid --passo-elevato" ] ||
  fail "pkexec was called as: $(cat "$work/pkexec.log")"
cmp -s "$programs/RICHTX32.OCX" "$programs/system/RICHTX32.OCX" || fail "the control is not back"
[ "$(ls "$programs/system" | tr '\n' ' ')" = "RICHTX32.OCX regsvr32 " ] ||
  fail "the system directory holds $(ls "$programs/system")"

# A copy of the launcher in the user's folder asks for no rights; its elevated step, run as root
# beside a control that passes the copy's checks (root's, 0644), writes nothing.
copy=/home/$user/copia
as_root runuser -u "$user" -- sh -c "mkdir $copy && cp $programs/Tessaldo $programs/RICHTX32.OCX $copy/"
as_root rm "$programs/system/RICHTX32.OCX" "$work/pkexec.log"
! as_root runuser -u "$user" -- env -i HOME="/home/$user" PATH="$work/path:/usr/bin:/bin" "$copy/Tessaldo" ||
  fail "the copy ended well with no bin beside it"
[ ! -e "$work/pkexec.log" ] || fail "the copy asked for rights: $(cat "$work/pkexec.log")"
as_root install -m 644 "$programs/RICHTX32.OCX" "$copy/RICHTX32.OCX"
! as_root env -i PATH=/usr/bin:/bin "$copy/Tessaldo" --passo-elevato || fail "the copy's step ended well"
[ "$(ls -A "$programs/system")" = regsvr32 ] || fail "the copy's step wrote $(ls "$programs/system")"

# What a step killed before its rename leaves goes with the purge; nothing else.
as_root install -m 600 /dev/null "$programs/system/RICHTX32.OCX.k9Qz2A"
as_root install -m 644 /dev/null "$programs/system/RICHTX32.OCX.mio"

apt purge tessaldo $added >"$work/apt.log" 2>&1 || fail "purge: $(cat "$work/apt.log")"
[ "$(find "$programs" | sort)" = "$programs$nl$programs/system$nl$programs/system/RICHTX32.OCX.mio" ] ||
  fail "the purge left: $(find "$programs" | sort)"
as_root rm -r "$programs"
installed | comm -13 "$work/before" - | grep . && fail "installed still: the packages above"
left=$(as_root find /usr /etc /var/lib/dpkg/info -path '*tessaldo*' | head -n 5)
[ -z "$left" ] || fail "left behind: $left"
echo "installed, started twice as $user, purged: nothing left"
