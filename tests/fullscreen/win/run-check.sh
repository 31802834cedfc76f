#!/usr/bin/env bash
# Runs one of this folder's Windows programs under Wine from a fresh folder of its own (the
# settings file it writes lands there).
#   run-check.sh WINE_RUN PREFIX PROGRAM.exe WORK_DIR
# Exits 77 (skipped) when the win-x64 build has not made the program.
set -uo pipefail
wine_run=$1 prefix=$2 program=$3 work=$4
if [[ ! -f "$program" ]]; then
  echo "skipped: $program is not built (build the win-x64 preset)"
  exit 77
fi
rm -rf "$work" && mkdir -p "$work" && cp "$program" "$work/" || exit 1
WINE_RUN_TIMEOUT=${WINE_RUN_TIMEOUT:-180} "$wine_run" "$prefix" "$work/$(basename "$program")"
