#!/usr/bin/env bash
# Every DLL the programs import is one that a Windows installation has: the C and C++ runtimes
# are linked in. Under a Wine prefix (WINEPREFIX), each is also in its system32.
# Usage: imported_dlls_test.sh <objdump> <program>...
set -euo pipefail
objdump=$1 prefix=${WINEPREFIX:-}
shift
windows="advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msimg32 msvcrt ole32 oleaut32 shell32
  shlwapi user32 uxtheme version winmm"
status=0
for program in "$@"; do
  dlls=$("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  echo "$(basename "$program"): $(echo $dlls)"
  for dll in $dlls; do
    name=${dll%.dll}
    if ! grep -qw "$name" <<<"$windows"; then
      echo "FAIL: $(basename "$program") imports $dll, which Windows does not have" && status=1
    elif [ -n "$prefix" ] && [ -d "$prefix/drive_c/windows/system32" ] &&
      [ -z "$(find "$prefix/drive_c/windows/system32" -maxdepth 1 -iname "$dll")" ]; then
      echo "FAIL: $dll is not in the system folder" && status=1
    fi
  done
done
exit $status
