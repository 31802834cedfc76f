#!/usr/bin/env bash
# The setup program end to end. The one NSIS script is built twice: for x86 (what users get;
# a 32-bit program, checked statically here) and for amd64 around the x86_64 DLL, which runs
# silently under wine64 in a fresh prefix holding a fake player folder and registry key.
#
#   windows-installer.sh WINE_RUN WIN_X86_DIR WIN_X64_DIR VERSION WORK_DIR
# Exit: 0 passed, 1 failed, 77 skipped (DLLs not built, or Wine missing).
set -uo pipefail
(($# == 5)) || {
  sed -n '2,7p' "$0" >&2
  exit 2
}
wine_run=$1 x86_dir=$2 x64_dir=$3 version=$4 work=$5
make_installer=$(dirname "$0")/../../packaging/windows/make-installer
dll=src/host/vis_vevirur2.dll
standin=$x64_dir/tests/wine/vis_host_standin.exe
for file in "$x86_dir/$dll" "$x64_dir/$dll" "$standin"; do
  [[ -f "$file" ]] || {
    echo "SKIP: $file is not built"
    exit 77
  }
done
rm -rf "$work"
mkdir -p "$work"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The script builds for both targets; the x86 one is a 32-bit GUI program for Windows.
"$make_installer" x86 "$x86_dir/$dll" "$version" "$work/setup-x86.exe" || fail "x86 build"
"$make_installer" amd64 "$x64_dir/$dll" "$version" "$work/setup-amd64.exe" || fail "amd64 build"
headers=$(i686-w64-mingw32-objdump -p "$work/setup-x86.exe" 2>&1)
grep -q "file format pei-i386" <<<"$headers" || fail "setup-x86.exe is not pei-i386"
grep -q "^Magic.*(PE32)" <<<"$headers" || fail "setup-x86.exe is not PE32"
grep -q "^Subsystem.*(Windows GUI)" <<<"$headers" || fail "setup-x86.exe is not a GUI program"
strings -el "$work/setup-x86.exe" | grep -qx "$version" || fail "setup-x86.exe lacks version $version"
# 7-Zip reads NSIS archives: the x86 setup program carries exactly the i686 DLL.
7zz e -so "$work/setup-x86.exe" Plugins/vis_vevirur2.dll 2>/dev/null | cmp -s - "$x86_dir/$dll" ||
  fail "setup-x86.exe does not carry $x86_dir/$dll"
((failures == 0)) || exit 1

# A fresh prefix with the player in a folder only the registry knows.
prefix=$work/prefix
"$wine_run" --setup "$prefix" >"$work/setup.log" 2>&1
rc=$?
((rc == 77)) && exit 77
((rc == 0)) || {
  cat "$work/setup.log"
  exit 1
}
player=$prefix/drive_c/Apps/Winamp
plugins=$player/Plugins
mkdir -p "$player" "$prefix/drive_c/Empty"
echo "not the player" >"$player/winamp.exe"
# The player's own key, written while no wineserver holds the registry.
printf '\n[Software\\\\Winamp] 1700000000\n@="C:\\\\Apps\\\\Winamp"\n' >>"$prefix/user.reg"

# wine NAME PROGRAM ARG...: runs PROGRAM in the prefix, output in $work/NAME.out, code in $rc.
wine() {
  local name=$1
  shift
  WINE_RUN_TIMEOUT=60 "$wine_run" "$prefix" "$@" >"$work/$name.out" 2>&1
  rc=$?
}
uninstall_key='[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vevirur2]'
uninstall_entry() {
  KEY=$uninstall_key awk 'index($0, ENVIRON["KEY"]) == 1 { on = 1; next } /^\[/ { on = 0 } on' \
    "$prefix/system.reg"
}


wine refuse "$work/setup-amd64.exe" /S '/D=C:\Empty'
((rc == 2)) || fail "a silent install into a folder without winamp.exe exits $rc, want 2"
[[ -e "$prefix/drive_c/Empty/Plugins" ]] && fail "the refused install wrote into C:\\Empty"

wine install "$work/setup-amd64.exe" /S
((rc == 0)) || fail "silent install exits $rc"
cmp -s "$x64_dir/$dll" "$plugins/vis_vevirur2.dll" || fail "the DLL is not in the player's Plugins"
entry=$(uninstall_entry)
for value in '"DisplayName"="Vevirur 2"' "\"DisplayVersion\"=\"$version\"" \
  '"Publisher"="Vevirur 2 developers"' '"EstimatedSize"=dword:' \
  '"UninstallString"="\"C:\\Apps\\Winamp\\Plugins\\vis_vevirur2-uninstall.exe\""'; do
  grep -qF "$value" <<<"$entry" || fail "uninstall entry lacks $value"
done
grep -q '"EstimatedSize"=dword:00000000' <<<"$entry" && fail "uninstall entry has size 0"

wine load "$standin" --log "Z:$work/load.jsonl" --scenario records 'C:\Apps\Winamp\Plugins\vis_vevirur2.dll'
((rc == 0)) || fail "the stand-in exits $rc with the installed DLL"
jq -e -s 'any(.[]; .event == "header" and .description == "Vevirur 2")' "$work/load.jsonl" \
  >/dev/null 2>&1 || fail "the stand-in did not load the installed DLL's header"

echo "[Vevirur 2]" >"$plugins/Vevirur2.ini"
wine uninstall "$plugins/vis_vevirur2-uninstall.exe" /S
((rc == 0)) || fail "silent uninstall exits $rc"
for file in vis_vevirur2.dll vis_vevirur2-uninstall.exe; do
  [[ -e "$plugins/$file" ]] && fail "the uninstaller left $file"
done
[[ -f "$plugins/Vevirur2.ini" ]] || fail "the silent uninstall removed the settings file"
grep -qF "$uninstall_key" "$prefix/system.reg" && fail "the uninstall entry is still there"

# A stale key of the player's: the installer goes on to the player's uninstall entry (a quoted
# command) and takes its folder.
sed -i 's/^@="C:\\\\Apps\\\\Winamp"$/@="C:\\\\Old\\\\Winamp"/' "$prefix/user.reg"
printf '\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Winamp] 1700000000
"UninstallString"="\\"C:\\\\Apps\\\\Winamp\\\\UninstWA.exe\\""\n' >>"$prefix/system.reg"
rm -f "$plugins/Vevirur2.ini"
wine reinstall "$work/setup-amd64.exe" /S
((rc == 0)) || fail "silent install by the uninstall entry exits $rc"
[[ -f "$plugins/vis_vevirur2.dll" ]] || fail "the player's uninstall entry did not lead to its folder"

((failures == 0)) && echo "OK: installer $version"
exit $((failures > 0))
