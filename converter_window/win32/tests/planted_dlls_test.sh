#!/usr/bin/env bash
# A copy of bin.exe with msimg32.dll and msftedit.dll planted beside it, native DLLs preferred as
# Windows prefers them: neither runs (each leaves "<itself>.ran" when it does, as regsvr32 shows),
# and the window still opens with its control.
# Usage: planted_dlls_test.sh <program dir> <window_probe.exe> <planted DLL dir> <work> <emulator...>
set -euo pipefail
program=$1 probe=$2 planted=$3 work=$4
shift 4
fail() { echo "FAIL: $*" && exit 1; }
rm -rf "$work" && mkdir -p "$work"
cp "$program/bin.exe" "$program/RICHTX32.OCX" "$planted/msimg32.dll" "$planted/msftedit.dll" "$work"
export WINEDLLOVERRIDES="mscoree,mshtml=;msimg32,msftedit=n,b"
"$@" regsvr32 /s "$work/msimg32.dll" || true
rm "$work/msimg32.dll.ran" || fail "the planted DLL does not run even when it is loaded"
"$@" "$work/bin.exe" &
bin=$!
shown=$("$@" "$probe" Tessaldo 60 close | tr -d '\r') || fail "bin.exe shows no window"
wait $bin || fail "bin.exe ended with $?"
grep -q '^child=TessaldoTesto256|' <<<"$shown" || fail "Text6 is not the control: $shown"
ran=$(ls "$work"/*.ran 2>/dev/null || true)
[ -z "$ran" ] || fail "planted code ran: $ran"
echo "Neither planted DLL ran" && rm -rf "$work"
