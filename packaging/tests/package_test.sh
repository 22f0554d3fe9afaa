#!/usr/bin/env bash
# Builds the Debian package of a build tree configured for /usr, checks its
# declared dependencies, installs it into a scratch root with dpkg --root,
# checks its files, and removes it again without leaving anything behind.
# Usage: package_test.sh <build dir> <libdir>
set -euo pipefail
build=$1
libdir=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
source "$here/layout.sh"

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || {
  cat "$work/cpack.log"
  fail "cpack failed"
}
deb=$(ls "$work"/out/tessaldo_*.deb)
echo "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/\(.*\)//; s/ //g' | sort -u)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libasound2 libstdc++6 libc6 \
  qt6-qpa-plugins fonts-comic-neue fonts-liberation; do
  grep -Fqx "$needed" <<<"$names" || fail "Depends lacks $needed"
done
# Every package named is one Debian has.
for name in $names; do
  apt-cache show --no-all-versions "$name" >/dev/null 2>&1 || fail "no Debian package $name"
done

root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/log"
touch "$root/var/lib/dpkg/status"
dpkg_root() {
  dpkg --root="$root" --log="$root/var/log/dpkg.log" --force-script-chrootless --force-not-root "$@"
}
dpkg_root --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 || {
  cat "$work/dpkg.log"
  fail "dpkg could not install the package"
}
check_layout "$root" /usr "$libdir"

# What the launcher leaves at run time goes with the package.
cp "$root/usr/$libdir/tessaldo/RICHTX32.OCX" "$root/usr/$libdir/tessaldo/system/"
dpkg_root --purge tessaldo >"$work/dpkg.log" 2>&1 || {
  cat "$work/dpkg.log"
  fail "dpkg could not remove the package"
}
left=""
if [ -d "$root/usr" ]; then
  left=$(cd "$root" && find usr -mindepth 1 \( -path '*tessaldo*' -o -type f \) | head -n 5)
fi
[ -z "$left" ] || fail "left behind after removal: $left"
echo "installed into a scratch root, checked and removed cleanly"
