#!/usr/bin/env bash
# The package as a user meets it. Builds the Debian package of a tree
# configured for /usr, checks it with lintian, appstreamcli and
# desktop-file-validate, installs it into this machine with apt-get and starts
# the desktop entry's command, under Xvfb, as a user who is not root: once as
# installed, once with the control removed and a pkexec stand-in that runs the
# elevated step as root. Then purges it and finds nothing of it left.
# Needs root, or sudo for the steps that install, add a user, act as that user
# or as root; leaves the machine as it found it.
# Usage: package_test.sh <build dir> <libdir>
set -euo pipefail
build=$1 programs=/usr/$2/tessaldo user=tessaldo-prova nl=$'\n'
source "$(dirname "$0")/../../cmake/xvfb-session.sh"
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo -- "$@"; fi; }
apt() { as_root apt-get -y -qq -o DPkg::Lock::Timeout=600 "$@"; }
trap 'set +e; cleanup; apt purge tessaldo >/dev/null 2>&1; as_root userdel -r "$user" 2>/dev/null' EXIT
[ "$(id -u)" = 0 ] || sudo -v ||
  fail "the package test installs into the machine: run it as root or with sudo"
chmod 755 "$work"

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/out/tessaldo_*.deb)
lintian --fail-on error,warning "$deb" || fail "lintian reports the above"
dpkg-deb -x "$deb" "$work/files"
(cd "$work/files/usr/share" && appstreamcli validate --no-net metainfo/*.xml &&
  desktop-file-validate applications/tessaldo.desktop) || fail "metainfo or desktop entry invalid"

installed() { dpkg-query -W -f '${db:Status-Status} ${Package}\n' | sed -n 's/^installed //p' | sort; }
installed >"$work/before"
(cd "$work/out" && apt install --no-install-recommends "./$(basename "$deb")") \
  >"$work/apt.log" 2>&1 || fail "apt-get install: $(cat "$work/apt.log")"
# What the package brought along goes with it.
added=$(installed | comm -13 "$work/before" - | grep -vx tessaldo || true)
[ "$(dpkg -S "$programs/system/RICHTX32.OCX")" = "tessaldo: $programs/system/RICHTX32.OCX" ] ||
  fail "the package does not install the control"
as_root useradd --create-home "$user" && uid=$(id -u "$user")

# The pkexec stand-in, setuid root as pkexec is: records who asked and with
# what, then runs the command as root with a bare environment.
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
# start <what>: the desktop entry's command as the user; then the converter's
# window must come, owned by bin running as that user.
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
  echo "$1: the window of bin, running as $user"
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

apt purge tessaldo $added >"$work/apt.log" 2>&1 || fail "purge: $(cat "$work/apt.log")"
installed | comm -13 "$work/before" - | grep . && fail "installed still: the packages above"
left=$(as_root find /usr /etc /var/lib/dpkg/info -path '*tessaldo*' | head -n 5)
[ -z "$left" ] || fail "left behind: $left"
echo "installed, started twice as $user, purged: nothing left"
