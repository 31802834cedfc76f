# Shared by the end-to-end scripts under Wine (sourced, not run). Each script is called as
#   SCRIPT CASE WINE_RUN PREFIX WIN_X64_DIR OUT_DIR
# and exits 0 passed, 1 failed, 77 skipped (nothing built, or jq missing).

# e2e_begin USAGE_LINES "$@": takes the five arguments (or prints the script's usage lines
# and exits 2), makes an empty work folder for the case and skips without jq.
e2e_begin() {
  local usage_lines=$1
  shift
  (($# == 5)) || {
    sed -n "${usage_lines}p" "$0" >&2
    exit 2
  }
  case_name=$1 wine_run=$2 prefix=$3 win_dir=$4 out_dir=$5
  standin=$win_dir/tests/wine/vis_host_standin.exe
  work=$out_dir/$case_name
  rm -rf "$work"
  mkdir -p "$work"
  command -v jq >/dev/null || {
    echo "SKIP: jq is not installed (scripts/bootstrap installs it)"
    exit 77
  }
  failures=0
}

# require_built FILE...: skips the case unless every FILE exists.
require_built() {
  local file
  for file; do
    [[ -f "$file" ]] || {
      echo "SKIP: $file is not built (cmake --preset win-x64 && cmake --build --preset win-x64)"
      exit 77
    }
  done
}

fail() {
  echo "FAIL [$case_name]: $*"
  failures=$((failures + 1))
}

# run_standin TIMEOUT NAME DLL ARG...: runs the stand-in on DLL, leaving $work/NAME.jsonl in
# $log and the exit code in $rc; a skip of wine-run skips the case.
run_standin() {
  local timeout=$1 name=$2 dll=$3
  shift 3
  log=$work/$name.jsonl
  WINE_RUN_TIMEOUT=$timeout "$wine_run" "$prefix" "$standin" --log "Z:$log" "$@" \
    "Z:$(realpath "$dll")" >"$work/$name.out" 2>&1
  rc=$?
  ((rc == 77)) && {
    cat "$work/$name.out"
    exit 77
  }
}

# run_plugin NAME ARG...: runs the stand-in on $plugin, which must exit 0; leaves $log and $rc.
run_plugin() {
  local name=$1
  shift
  run_standin 90 "$name" "$plugin" "$@"
  ((rc == 0)) || fail "$name: exit code $rc; $(tail -3 "$work/$name.out")"
  run_logged "$name"
}

# run_logged NAME: the line each run leaves in the test's output.
run_logged() {
  echo "run $1: exit $rc, $(wc -l <"$log" 2>/dev/null || echo no) log lines"
}

# check WHAT FILTER [JQ ARG...]: the jq FILTER over the log's lines (as one array) must give true.
check() {
  local what=$1 filter=$2
  shift 2
  jq -e -s "$@" "$filter" "$log" >/dev/null 2>&1 || fail "$(basename "$log"): $what"
}
