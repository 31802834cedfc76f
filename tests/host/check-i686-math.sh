#!/usr/bin/env bash
# The 32-bit build computes like the 64-bit one: every translation unit of the i686 tree is
# compiled for SSE2 double arithmetic with a stack assumed only 4-byte aligned on entry (the
# player calls us that way), and the effects and raster code holds no x87 arithmetic (which
# would round to extended precision). Loading and storing doubles on the x87 stack, as the
# 32-bit calling convention returns them, is exact and allowed.
#
#   check-i686-math.sh OBJDUMP WIN_X86_DIR     checks the built i686 tree
#   check-i686-math.sh --selftest COMPILER OBJDUMP  shows that the check catches x87 code
# Exit: 0 passed, 1 failed, 77 skipped (the i686 tree is not built).
set -uo pipefail

# x87 instructions that compute or convert; fld, fst(p), fxch, fldz and fld1 only move data.
x87_arithmetic='^(f(i)?(add|sub|subr|mul|div|divr)p?|fsqrt|fprem1?|frndint|fscale|fxtract|fabs|fchs|f(u)?com(i)?p{0,2}|ficomp?|ftst|fild(l|ll|s)?|fist(p|tp)?(l|ll|s)?|fsin|fcos|fsincos|fptan|fpatan|f2xm1|fyl2x(p1)?)$'

# x87_lines OBJDUMP FILE...: "function: instruction" for every x87 arithmetic instruction.
x87_lines() {
  local objdump=$1
  shift
  "$objdump" -d --no-show-raw-insn "$@" | awk -v pattern="$x87_arithmetic" '
    /^[0-9a-f]+ <.*>:$/ { name = $2 }
    /^ +[0-9a-f]+:\t/ { split($0, part, "\t"); split(part[2], word, " ");
                        if (word[1] ~ pattern) print name ": " part[2] }'
}

if [[ "${1:-}" == "--selftest" ]]; then
  compiler=$2 objdump=$3
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  printf 'double Scale(double a, int b) { return a * b + 0.5; }\n' >"$work/f.cpp"
  "$compiler" -O2 -c "$work/f.cpp" -o "$work/x87.o" &&
    "$compiler" -O2 -msse2 -mfpmath=sse -c "$work/f.cpp" -o "$work/sse.o" || exit 1
  [[ -n "$(x87_lines "$objdump" "$work/x87.o")" && -z "$(x87_lines "$objdump" "$work/sse.o")" ]] || {
    echo "FAIL: the check does not tell x87 from SSE2 code"
    exit 1
  }
  echo "OK: the check tells x87 from SSE2 code"
  exit 0
fi

(($# == 2)) || {
  sed -n '7,9p' "$0" >&2
  exit 2
}
objdump=$1 tree=$2
commands=$tree/compile_commands.json
libraries=("$tree/src/effects/libvv_effects.a" "$tree/src/raster/libvv_raster.a")
for file in "$commands" "${libraries[@]}"; do
  [[ -f "$file" ]] || {
    echo "SKIP: $file is not built (cmake --preset win-x86 && cmake --build --preset win-x86)"
    exit 77
  }
done

failures=0
units=$(jq -r '.[].command' "$commands" | wc -l)
for flag in -msse2 -mfpmath=sse -mincoming-stack-boundary=2; do
  # C and C++ units only: resource scripts (.rc) carry no code.
  missing=$(jq -r --arg flag "$flag" '.[] | select(.file | test("\\.(c|cc|cpp|cxx)$"))
                                      | select(.command | split(" ") | index($flag) | not)
                                      | .file' "$commands")
  [[ -z "$missing" ]] || {
    echo "FAIL: compiled without $flag: $(echo "$missing" | head -5 | tr '\n' ' ')"
    failures=$((failures + 1))
  }
done
found=$(x87_lines "$objdump" "${libraries[@]}")
[[ -z "$found" ]] || {
  echo "FAIL: x87 arithmetic in the effects and raster code:"
  echo "$found" | head -20
  failures=$((failures + 1))
}
((failures == 0)) && echo "OK: $units units built for SSE2 math and 4-byte incoming stacks; no x87 arithmetic"
((failures == 0))
