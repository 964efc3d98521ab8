#!/usr/bin/env bash
# Static checks of a delivered Windows file, without running it:
#   check_pe.sh FILE [--dll] [--only-imports A.dll,B.dll] [--export NAME]...
# Always: a PE32 file for i386 with the Windows GUI subsystem that needs no MinGW run-time DLL
# (libgcc, libstdc++, winpthread), since the programs ship without any DLL of their own.
set -euo pipefail
file=${1:?file}; shift
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
dump=$("$objdump" -p "$file")
fail() { echo "check_pe: $(basename "$file"): $*" >&2; exit 1; }

grep -q 'file format pei-i386' <<<"$dump" || fail "not a PE file for i386"
grep -Eq '^Magic[[:space:]]+010b' <<<"$dump" || fail "not PE32"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$dump" || fail "not the Windows GUI subsystem"
imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$dump" | sort -u)
if grep -Eq '^(libgcc|libstdc\+\+|libwinpthread)' <<<"$imports"; then
  fail "imports a MinGW run-time DLL: $(grep -E '^(libgcc|libstdc|libwinpthread)' <<<"$imports" | tr '\n' ' ')"
fi

while [ $# -gt 0 ]; do
  case $1 in
    --dll)
      grep -Eq '^Characteristics.*' <<<"$dump" || fail "no characteristics"
      chars=$(awk '/^Characteristics/ {print $2; exit}' <<<"$dump")
      (( chars & 0x2000 )) || fail "not a DLL" ;;
    --only-imports)
      shift
      allowed=$(tr ',' '\n' <<<"$1" | tr 'A-Z' 'a-z' | sort -u)
      extra=$(comm -23 <(echo "$imports") <(echo "$allowed") | tr '\n' ' ')
      [ -z "${extra// }" ] || fail "imports more than $1: $extra" ;;
    --export)
      shift
      awk '/\[Ordinal\/Name Pointer\] Table/ {t=1; next} t && NF==0 {t=0} t {print $NF}' <<<"$dump" |
        grep -qxF "$1" || fail "does not export $1" ;;
    *) fail "unknown option $1" ;;
  esac
  shift
done
echo "check_pe: $(basename "$file"): ok"
