#!/usr/bin/env bash
# Checks a plug-in DLL's export and import tables as the player and Windows see them:
# exactly one export, the undecorated winampVisGetHeader, and imports from Windows system
# DLLs only (a runtime DLL such as libstdc++ would be missing on the user's machine).
#
#   check-dll-tables.sh OBJDUMP DLL FORMAT     reads the tables with OBJDUMP -p
#   check-dll-tables.sh --dump FILE FORMAT     reads a saved `objdump -p` listing
# FORMAT is the expected object format: pei-i386 or pei-x86-64.
# Exit: 0 good, 1 a table is wrong, 77 the DLL is not built (ctest skips), 2 usage.
set -uo pipefail

(($# == 3)) || {
  sed -n '2,9p' "$0" >&2
  exit 2
}

name=$2
if [[ "$1" == "--dump" ]]; then
  listing=$(cat "$2") || exit 2
else
  [[ -f "$2" ]] || {
    echo "SKIP: $2 is not built"
    exit 77
  }
  listing=$("$1" -p "$2")  # a failed dump fails the format check
fi
format=$3
failures=0
fail() {
  echo "FAIL: $name: $*"
  failures=$((failures + 1))
}

grep -q "file format $format\$" <<<"$listing" || fail "object format is not $format"

# Exports: the count in the directory and the names of the name-pointer table.
count=$(awk '/^Number in:/ {getline; print $NF; exit}' <<<"$listing")
[[ "$count" =~ ^0*1$ ]] || fail "export address table holds ${count:-no} entries, want 1"
grep -q 'Forwarder RVA' <<<"$listing" && fail "an export is forwarded to another DLL"
exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ {inside = 1; next}
               inside && /^[[:space:]]*$/ {inside = 0}
               inside {sub(/^[[:space:]]*\[[[:space:]]*[0-9]+\][[:space:]]*/, ""); print}' \
  <<<"$listing")
[[ "$exports" == "winampVisGetHeader" ]] ||
  fail "exports are [$(tr '\n' ' ' <<<"$exports")], want exactly [winampVisGetHeader]"

# Imports, including delay-loaded ones: Windows system DLLs only.
imports=$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$listing" | tr -d '\r')
[[ -n "$imports" ]] || fail "no import table found"
while read -r dll; do
  case "${dll,,}" in
    kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | advapi32.dll | shell32.dll | ddraw.dll | \
      comctl32.dll | ole32.dll | api-ms-win-*.dll) ;;
    *) fail "imports $dll, which is not a Windows system DLL" ;;
  esac
done <<<"$imports"

((failures == 0)) || exit 1
echo "OK: $name exports winampVisGetHeader only; imports $(tr '\n' ' ' <<<"$imports")"
