#!/usr/bin/env bash
# How tools/lib/smoke32.sh judges one program's output: gtest's summary as Wine
# prints it (CRLF line ends), crashes, and chosen cases that did not run.
set -u
source "$(dirname "$0")/../../tools/lib/smoke32.sh"
failures=0
check() { # name expected actual
  if [ "$2" != "$3" ]; then echo "FAIL $1: expected '$2', got '$3'"; failures=$((failures + 1)); fi
}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
summary() { # ran passed failed
  {
    echo "[==========] $1 tests from 1 test suite ran. (10 ms total)"
    echo "[  PASSED  ] $2 tests."
    [ "$3" -gt 0 ] && echo "[  FAILED  ] $3 tests, listed below:"
  } | sed 's/$/\r/' >"$log"
}

summary 5 5 0
check "all chosen cases passed" "5 0" "$(smoke32_judge "$log" 0 5)"
summary 5 3 2
check "failures are counted" "3 2" "$(smoke32_judge "$log" 1 5)"
printf '[==========] 1 test from 1 test suite ran. (3 ms total)\r\n[  PASSED  ] 1 test.\r\n' >"$log"
check "one case, singular" "1 0" "$(smoke32_judge "$log" 0 1)"
summary 46 46 0
check "any number for a whole program" "46 0" "$(smoke32_judge "$log" 0 0)"

# A case renamed or removed must not leave the set unnoticed.
summary 4 4 0
check "a chosen case that did not run fails" "4 1 only 4 of 5 chosen cases ran" \
  "$(smoke32_judge "$log" 0 5)"
summary 0 0 0
check "a filter that matches nothing fails" "0 1 no case ran" "$(smoke32_judge "$log" 0 0)"

# A crash or a timeout leaves no summary, or a summary with a bad exit code.
echo "wine: Unhandled page fault" >"$log"
check "no summary counts every chosen case" "0 3 no gtest summary (exit code 124)" \
  "$(smoke32_judge "$log" 124 3)"
check "no summary of a whole program counts one" "0 1 no gtest summary (exit code 139)" \
  "$(smoke32_judge "$log" 139 0)"
summary 2 2 0
check "passed cases with a failing exit code" "2 1 exit code 3" "$(smoke32_judge "$log" 3 2)"

[ $failures -eq 0 ] && echo "smoke32 judge: all checks passed"
exit $((failures > 0))
