#!/usr/bin/env bash
# The Debian package of vevirur as a user gets it: its dependencies are right and resolve, it
# installs with dpkg into a temporary root, the installed program answers --version and
# renders a second of sound, its manual page names every option of every --help text, it
# removes cleanly, and lintian reports no errors.
#
#   debian-package.sh DEB VERSION WORK_DIR
# Exit: 0 passed, 1 failed, 77 skipped (no package: make dist builds it).
set -uo pipefail
(($# == 3)) || {
  sed -n '2,9p' "$0" >&2
  exit 2
}
deb=$1 version=$2 work=$3
[[ -f "$deb" ]] || {
  echo "SKIP: $deb is not built (make dist)"
  exit 77
}
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package) $(field Version) $(field Architecture)" == "vevirur $version amd64" ]] ||
  fail "control says $(field Package) $(field Version) $(field Architecture)"
# dpkg-shlibdeps writes a versioned dependency on the package of every library the program
# links, and this system (where the program was built) satisfies each of them.
depends=", $(field Depends)"
dpkg-deb -x "$deb" "$work/unpacked"
paths=()
for soname in $(objdump -p "$work/unpacked/usr/bin/vevirur" | awk '$1 == "NEEDED" { print $2 }'); do
  path=$(/sbin/ldconfig -p | awk -v name="$soname" '$1 == name && /x86-64/ { print $NF; exit }')
  paths+=("$path" "/usr$path")
done
while read -r owner; do
  [[ "$depends" == *", $owner (>= "* ]] || fail "Depends lacks a versioned $owner: $depends"
done < <(dpkg-query -S "${paths[@]}" 2>/dev/null | sed 's/:.*//; s/, /\n/g' | sort -u)
IFS=, read -ra clauses <<<"$(field Depends)"
for clause in "${clauses[@]}"; do
  read -r name _ minimum <<<"${clause//[()]/}"
  installed=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null)
  [[ -n "$installed" ]] && dpkg --compare-versions "$installed" ge "$minimum" ||
    fail "this system lacks $clause (has '$installed')"
done

# Install into a temporary root with its own dpkg database.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg() { command dpkg --root="$root" --force-depends --force-script-chrootless "$@"; }
dpkg -i "$deb" >"$work/install.out" 2>&1 || fail "dpkg -i: $(tail -3 "$work/install.out")"
vevirur=$root/usr/bin/vevirur
[[ "$("$vevirur" --version)" == "vevirur $version (Vevirur 2)" ]] ||
  fail "--version says '$("$vevirur" --version 2>&1)'"

python3 - "$work/tone.wav" <<'PY'
import math, struct, sys, wave
tone = [int(12000 * math.sin(2 * math.pi * 220 * (n // 2) / 44100)) for n in range(88200)]
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100)
    w.writeframes(struct.pack(f"<{len(tone)}h", *tone))
PY
"$vevirur" render "$work/tone.wav" -o "$work/tone.mp4" --size 320x240 >"$work/render.out" 2>&1 ||
  fail "render: $(tail -2 "$work/render.out")"
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
  -of csv=p=0 "$work/tone.mp4" 2>/dev/null)
[[ "$frames" == 30 ]] || fail "one second rendered to '$frames' frames, want 30"

# Every option that a --help text names is in the manual page.
manual=$(MANWIDTH=200 man -l "$root/usr/share/man/man1/vevirur.1.gz" 2>/dev/null | col -b)
grep -q "vevirur $version" <<<"$manual" || fail "the manual page lacks version $version"
for command in "" render demo live; do
  for option in $("$vevirur" $command --help | grep -oE -- '(^|[ [|,])--?[a-z][a-z-]*' |
    grep -oE -- '--?[a-z-]+' | sort -u); do
    grep -qE -- "(^|[ [,(])$option([ ,)=]|$)" <<<"$manual" ||
      fail "the manual page lacks '$option' of 'vevirur $command --help'"
  done
  [[ -z "$command" ]] || grep -qE "^ +$command( |$)" <<<"$manual" || fail "no section on $command"
done

dpkg -r vevirur >"$work/remove.out" 2>&1 || fail "dpkg -r: $(tail -3 "$work/remove.out")"
left=$(find "$root" -path "$root/var" -prune -o ! -type d -print)
[[ -z "$left" ]] || fail "removing left $left"

lintian --no-tag-display-limit "$deb" >"$work/lintian.out" 2>&1
grep "^E: " "$work/lintian.out" && fail "lintian reports errors"

((failures == 0)) && echo "OK: $(basename "$deb")"
exit $((failures > 0))
