#!/bin/sh
# Runs the given command when this host can run 32-bit Windows programs under Wine; otherwise
# says why the test is skipped and exits with ctest's skip code.
probe="${WINEPREFIX:-$HOME/.wine}/drive_c/windows/syswow64/cmd.exe"
[ -f "$probe" ] || probe="${WINEPREFIX:-$HOME/.wine}/drive_c/windows/system32/cmd.exe"
if ! wine "$probe" /c exit 0 >/dev/null 2>&1; then
  echo "SKIPPED: this host cannot run 32-bit Windows programs under Wine (is wine32 installed?)."
  echo "Delete.dll exports _MagicDel@16, a 32-bit stdcall entry that only the 32-bit rundll32 can call."
  exit 77
fi
exec "$@"
