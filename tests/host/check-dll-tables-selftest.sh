#!/usr/bin/env bash
# Feeds check-dll-tables.sh listings with the faults a mislinked DLL shows, and one good
# listing, so that the table check itself is known to catch them.
set -uo pipefail
checker=$(dirname "$0")/check-dll-tables.sh

# A trimmed `objdump -p` listing of a good i686 build.
good() {
  cat "$(dirname "$0")/data/objdump-p-good-i686.txt"
}

failures=0
expect() {  # expect CODE FORMAT CASE-NAME < listing
  local want=$1 format=$2 case_name=$3 got output
  output=$("$checker" --dump /dev/stdin "$format")
  got=$?
  if ((got != want)); then
    echo "case $case_name: exit $got, want $want"
    echo "$output"
    failures=$((failures + 1))
  fi
}

good | expect 0 pei-i386 good
good | expect 1 pei-x86-64 wrong_format
good | sed 's/\] winampVisGetHeader/] _winampVisGetHeader@0/' | expect 1 pei-i386 decorated_export
good | sed 's/00000001$/00000002/; s/^\(.*\] winampVisGetHeader\)$/\1\n\t[   1] Config/' |
  expect 1 pei-i386 second_export
good | sed 's/Export Address Table \t\t00000001/Export Address Table \t\t00000002/' |
  expect 1 pei-i386 ordinal_only_export
good | sed '/Ordinal\/Name Pointer/,$d' | expect 1 pei-i386 no_export_table
good | sed 's/Export RVA/Forwarder RVA/' | expect 1 pei-i386 forwarded_export
for runtime in libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll vcruntime140.dll; do
  good | sed "s/DLL Name: msvcrt.dll/DLL Name: $runtime/" | expect 1 pei-i386 "import_$runtime"
done
good | sed 's/DLL Name: msvcrt.dll/DLL Name: api-ms-win-crt-runtime-l1-1-0.dll/' |
  expect 0 pei-i386 api_set_import
good | sed 's/DLL Name: KERNEL32.dll/DLL Name: ddraw.dll/' | expect 0 pei-i386 ddraw_import
good | sed '/DLL Name/d' | expect 1 pei-i386 no_imports

((failures == 0)) && echo "OK: every table fault is caught"
exit $((failures > 0))
