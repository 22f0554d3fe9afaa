#!/usr/bin/env bash
# The programs import only DLLs that Windows takes from its own folder whatever lies beside them:
# the KnownDLLs, and comctl32, which bin.exe's manifest binds to the side-by-side common controls
# 6 (the C and C++ runtimes are linked in). And they are built for ASLR, with 64-bit entropy, and
# for NX.
# Usage: imported_dlls_test.sh <objdump> <program>...
set -euo pipefail
objdump=$1
shift
known="advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msvcrt ole32 oleaut32 psapi shell32 shlwapi
  user32 ws2_32"
status=0
for program in "$@"; do
  headers=$("$objdump" -p "$program")
  dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
  flags=$(sed -n '/^DllCharacteristics/,/^\S/s/^\s\+\(\S\+\)$/\1/p' <<<"$headers")
  echo "$(basename "$program"): $(echo $dlls); $(echo $flags)"
  for dll in $dlls; do
    grep -qw "${dll%.dll}" <<<"$known" || { echo "FAIL: imports $dll" && status=1; }
  done
  for flag in DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA; do
    grep -qx $flag <<<"$flags" || { echo "FAIL: not $flag" && status=1; }
  done
done
exit $status
