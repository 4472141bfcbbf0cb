# Fuzzing of the window-free parsers with libFuzzer (clang), under ASan and UBSan.
# run_fuzzers BUILD-DIR [SECONDS]: builds and runs each target for a bounded time;
# returns non-zero on any finding (crash, leak, sanitizer report) or build failure.

run_fuzzers() {
  local build=$1 seconds=${2:-30} root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  local dir="$build/fuzz"
  mkdir -p "$dir/corpus-nuvora"
  local exe="$dir/nuvora_command_line_fuzz"
  if ! clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
      -I"$root" "$root/tests/update/fuzz/nuvora_command_line_fuzz.cpp" "$root/update/command_line.cpp" \
      -o "$exe" >"$dir/build.log" 2>&1; then
    cat "$dir/build.log"; echo "fuzz: nuvora command line: build failed"; return 1
  fi
  # Seeds: the forms that the program meets.
  printf 'Verivir,1,17' >"$dir/corpus-nuvora/plain"
  printf 'HTTP://update.example.com/config/update.ini , Verivir , 1 , 17' >"$dir/corpus-nuvora/url"
  printf ' ,;Verivir,-1,4294967296' >"$dir/corpus-nuvora/numbers"
  local log="$dir/nuvora.log"
  (cd "$dir" && "$exe" -max_total_time="$seconds" -max_len=1024 -print_final_stats=1 \
      "$dir/corpus-nuvora" >"$log" 2>&1)
  local rc=$?
  local runs; runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1)
  if [ $rc -ne 0 ]; then
    tail -40 "$log"
    echo "fuzz: nuvora command line: ${runs:-?} runs, FINDING (see $log)"
    return 1
  fi
  echo "fuzz: nuvora command line: ${runs:-?} runs, no findings"
}
