# Runs the 32-bit smoke set (<build>/smoke32.txt, written by cmake/smoke32.cmake):
# each program once under the current Wine with its cases as a gtest filter.
# Adds to total_pass/total_fail and sets status=1 on any failure.

# gtest's summary of one run, as "ran passed failed" ("" when there is none).
gtest_counts() { # log
  local ran passed failed
  ran=$(sed -nE 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' "$1" | tail -1)
  passed=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$1" | tail -1)
  failed=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below:.*/\1/p' "$1" | tail -1)
  [ -n "$ran" ] && echo "$ran ${passed:-0} ${failed:-0}"
}

# Judges one program's run: the counts it adds, and whether it is sound.
# A chosen case that did not run counts as failed, so that a renamed case
# cannot leave the set unnoticed.
smoke32_judge() { # log exit-code expected-count -> prints "passed failed why"
  local log=$1 rc=$2 expected=$3 counts ran passed failed
  counts=$(gtest_counts "$log")
  if [ -z "$counts" ]; then
    echo "0 $((expected > 0 ? expected : 1)) no gtest summary (exit code $rc)"
    return
  fi
  read -r ran passed failed <<<"$counts"
  if [ "$expected" -gt 0 ] && [ "$ran" -lt "$expected" ]; then
    echo "$passed $((failed + expected - ran)) only $ran of $expected chosen cases ran"
  elif [ "$ran" -eq 0 ]; then
    echo "0 1 no case ran"
  elif [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then
    echo "$passed 1 exit code $rc"
  else
    echo "$passed $failed"
  fi
}

run_smoke32() { # build-dir (the win32 build)
  local list="$1/smoke32.txt" program filter expected setup cleanup
  if [ ! -s "$list" ]; then
    echo "no 32-bit smoke set in $list"; status=1; total_fail=$((total_fail + 1)); return
  fi
  while IFS='|' read -r program filter expected setup cleanup; do
    local name log rc verdict passed failed why
    name=$(basename "$program")
    log=$(mktemp)
    if [ -n "$setup" ] && ! bash -c "$setup" </dev/null >"$log" 2>&1; then
      echo "$name: set-up failed"; cat "$log"
      total_fail=$((total_fail + (expected > 0 ? expected : 1))); status=1; rm -f "$log"; continue
    fi
    # A hung program must not hang the run.
    (cd "$(dirname "$program")" && timeout -k 10 "${VERIVIR_SMOKE32_TIMEOUT:-300}" \
      wine "$program" --gtest_filter="$filter") </dev/null >"$log" 2>&1
    rc=$?
    [ -n "$cleanup" ] && bash -c "$cleanup" </dev/null >/dev/null 2>&1
    verdict=$(smoke32_judge "$log" "$rc" "$expected")
    read -r passed failed why <<<"$verdict"
    total_pass=$((total_pass + passed)); total_fail=$((total_fail + failed))
    echo "$name: $passed passed, $failed failed${why:+ ($why)}"
    if [ "$failed" -gt 0 ]; then
      cat "$log"; status=1
    elif [ "$expected" -gt 0 ]; then
      grep -E '^\[ +(OK|FAILED) +\] [^ ]+ \(' "$log" | sed 's/^/  /'
    fi
    rm -f "$log"
  done <"$list"
}
