# Shared by the end-to-end scripts under Wine (sourced, not run). Each script defines one
# function per case and ends with e2e_main; it is called as
#   SCRIPT CASE WINE_RUN PREFIX WIN_X64_DIR OUT_DIR
# and exits 0 passed, 1 failed, 2 usage or unknown case, 77 skipped (nothing built, or jq
# missing).

# e2e_main USAGE_LINES INSTRUMENTED_CASES "$@": takes the five arguments (or prints the
# script's usage lines and exits 2), makes an empty work folder for the case, skips without jq
# or the built stand-in and plug-in, copies the plug-in into the work folder as $plugin (so its
# settings file lands there; the instrumented DLL for the cases in INSTRUMENTED_CASES), runs
# the case's function and exits with its verdict.
e2e_main() {
  local usage_lines=$1 instrumented_cases=" $2 " built file
  shift 2
  (($# == 5)) && declare -F "$1" >/dev/null || {
    sed -n "${usage_lines}p" "$0" >&2
    exit 2
  }
  case_name=$1 wine_run=$2 prefix=$3 win_dir=$4 out_dir=$5
  standin=$win_dir/tests/wine/vis_host_standin.exe
  built=$win_dir/src/host/vis_vevirur2.dll
  [[ $instrumented_cases == *" $case_name "* ]] &&
    built=$win_dir/tests/wine/vis_vevirur2_instrumented.dll
  work=$out_dir/$case_name
  rm -rf "$work"
  mkdir -p "$work"
  command -v jq >/dev/null || skip "jq is not installed (scripts/bootstrap installs it)"
  for file in "$standin" "$built"; do
    [[ -f "$file" ]] ||
      skip "$file is not built (cmake --preset win-x64 && cmake --build --preset win-x64)"
  done
  plugin=$work/vis_vevirur2.dll
  cp "$built" "$plugin" || exit 1
  failures=0
  "$case_name"
  ((failures == 0)) && echo "PASS [$case_name]"
  exit $((failures > 0))
}

skip() {
  echo "SKIP: $*"
  exit 77
}

fail() {
  echo "FAIL [$case_name]: $*"
  failures=$((failures + 1))
}

# run_plugin NAME ARG...: runs the stand-in on $plugin, leaving $work/NAME.jsonl in $log and
# the exit code in $rc, which must be $want_exit (0 when unset); a skip of wine-run skips the
# case. Every run must end with its exit line, with no crash, watchdog or unknown or unplaced
# action, every Render returning 0 and every request one the player knows.
run_plugin() {
  local name=$1 want=${want_exit:-0}
  shift
  log=$work/$name.jsonl
  WINE_RUN_TIMEOUT=120 "$wine_run" "$prefix" "$standin" --log "Z:$log" "$@" \
    "Z:$(realpath "$plugin")" >"$work/$name.out" 2>&1
  rc=$?
  ((rc == 77)) && cat "$work/$name.out" && exit 77
  echo "run $name: exit $rc, $(wc -l <"$log" 2>/dev/null || echo no) log lines"
  ((rc == want)) || fail "$name: exit code $rc, want $want; $(tail -3 "$work/$name.out")"
  check "no crash, watchdog or failed action; ends with an exit line" \
    'all(.[]; .event != "crash" and .event != "watchdog" and .event != "ui")
     and .[-1].event == "exit"'
  check "every Render returns 0; every request is one the player knows" \
    'all(.[] | select(.event == "render"); .result == "0x0")
     and all(.[] | select(.event == "request"); .known == true)'
}

# check WHAT FILTER [JQ ARG...]: the jq FILTER over the log's lines (as one array) must give true.
check() {
  local what=$1 filter=$2
  shift 2
  jq -e -s "$@" "$filter" "$log" >/dev/null 2>&1 || fail "$(basename "$log"): $what"
}
