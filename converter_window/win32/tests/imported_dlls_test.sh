#!/usr/bin/env bash
# Every DLL the programs import is one that a Windows installation has: the C and C++ runtimes
# are linked in.
# Usage: imported_dlls_test.sh <objdump> <program>...
set -euo pipefail
objdump=$1
shift
windows="advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msimg32 msvcrt ole32 oleaut32 shell32
  shlwapi user32 uxtheme version winmm"
status=0
for program in "$@"; do
  dlls=$("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  echo "$(basename "$program"): $(echo $dlls)"
  for dll in $dlls; do
    grep -qw "${dll%.dll}" <<<"$windows" ||
      { echo "FAIL: $(basename "$program") imports $dll, which Windows does not have" && status=1; }
  done
done
exit $status
