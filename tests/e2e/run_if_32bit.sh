#!/bin/sh
# Runs the given command when the Wine tests run the 32-bit build on this host; otherwise says
# why the test is skipped and exits with ctest's skip code.
arch=$("$(dirname "$0")/../../scripts/wine-arch")
if [ "$arch" != i686 ]; then
  echo "SKIPPED: this host runs no 32-bit Windows program under Wine, so the Wine tests use the x86_64 build."
  echo "Delete.dll's _MagicDel@16 is a 32-bit stdcall entry that only the 32-bit rundll32 can call."
  exit 77
fi
exec "$@"
