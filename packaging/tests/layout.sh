# Sourced by the install and package tests: check_layout <root> <prefix> <libdir>
# checks the files of an installed Tessaldo below <root>.
check_layout() {
  local root=$1 prefix=$2 libdir=$3
  local programs="$root$prefix/$libdir/tessaldo"
  for program in bin Tessaldo system/regsvr32; do
    [ -x "$programs/$program" ] || fail "$programs/$program is missing or not executable"
  done
  for file in left.jpg right.jpg RICHTX32.OCX; do
    [ -f "$programs/$file" ] || fail "$programs/$file is missing"
  done
  local link="$root$prefix/bin/tessaldo"
  [ -L "$link" ] || fail "$link is not a link"
  [ "$(cd "$(dirname "$link")" && realpath -m "$(readlink "$link")")" = "$(realpath -m "$programs/Tessaldo")" ] ||
    fail "$link leads to $(readlink "$link")"
  local entry="$root$prefix/share/applications/tessaldo.desktop"
  desktop-file-validate "$entry" || fail "$entry does not validate"
  grep -qx 'Exec=tessaldo' "$entry" || fail "$entry does not start the launcher"
  for size in 16 32 48 64 128 256; do
    local icon="$root$prefix/share/icons/hicolor/${size}x${size}/apps/tessaldo.png"
    [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] ||
      fail "$icon is missing or not ${size}x${size}"
  done
}
