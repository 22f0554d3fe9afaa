#!/usr/bin/env bash
# Installs the Debian packages that are missing. Safe to run again.
#   scripts/install-deps.sh        what building and running the converter needs
#   scripts/install-deps.sh test   also the tests, the fuzzers, the Windows cross
#                                  build and the package checks
set -euo pipefail

packages=(
  cmake ninja-build g++
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
  libasound2-dev fonts-comic-neue fonts-liberation fontconfig qt6-translations-l10n
)
if [ "${1:-}" = test ]; then
  packages+=(
    clang libclang-rt-14-dev alsa-utils
    libgtest-dev googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 nsis
    xvfb xauth xdotool x11-utils imagemagick openbox
    dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    desktop-file-utils dpkg-dev fakeroot file lintian appstream polkitd
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
