# Fuzzing of the window-free parsers with libFuzzer (clang), under ASan and UBSan.
# run_fuzzers BUILD-DIR [SECONDS]: builds and runs each target for a bounded time;
# returns non-zero on any finding (crash, leak, sanitizer report) or build failure.

# fuzz_one BUILD-DIR SECONDS NAME SOURCES...: seeds are already in BUILD-DIR/fuzz/corpus-NAME.
fuzz_one() {
  local build=$1 seconds=$2 name=$3 root
  shift 3
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  local dir="$build/fuzz" sources=() src
  for src in "$@"; do sources+=("$root/$src"); done
  local exe="$dir/${name}_fuzz"
  if ! clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
      -I"$root" "${sources[@]}" -o "$exe" >"$dir/$name.build.log" 2>&1; then
    cat "$dir/$name.build.log"; echo "fuzz: $name: build failed"; return 1
  fi
  local log="$dir/$name.log"
  (cd "$dir" && "$exe" -max_total_time="$seconds" -max_len=1024 -print_final_stats=1 \
      "$dir/corpus-$name" >"$log" 2>&1)
  local rc=$?
  local runs; runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1)
  if [ $rc -ne 0 ]; then
    tail -40 "$log"
    echo "fuzz: $name: ${runs:-?} runs, FINDING (see $log)"
    return 1
  fi
  echo "fuzz: $name: ${runs:-?} runs, no findings"
}

run_fuzzers() {
  local build=$1 seconds=${2:-30} status=0
  local dir="$build/fuzz"
  mkdir -p "$dir/corpus-nuvora_command_line" "$dir/corpus-text_pattern" "$dir/corpus-registry_data" \
    "$dir/corpus-nuvora_feed"
  # Seeds: the forms that the programs meet.
  printf 'Verivir,1,17' >"$dir/corpus-nuvora_command_line/plain"
  printf 'HTTP://update.example.com/config/update.ini , Verivir , 1 , 17' >"$dir/corpus-nuvora_command_line/url"
  printf ' ,;Verivir,-1,4294967296' >"$dir/corpus-nuvora_command_line/numbers"
  fuzz_one "$build" "$seconds" nuvora_command_line \
    tests/update/fuzz/nuvora_command_line_fuzz.cpp update/command_line.cpp || status=1
  # A signed feed as tools/release writes it.
  printf '[Verivir]\r\nVerHi=1\r\nVerLo=18\r\nSerial=202501311200\r\nExpires=2025-07-30\r\nLangCount=1\r\nLang001=English\r\nPath001=https://h/a.exe\r\nSha256001=%064d\r\nLength001=123\r\nPath001.x64=https://h/b.exe\r\nSha256001.x64=%064d\r\nLength001.x64=7\r\n' 0 0 \
    >"$dir/corpus-nuvora_feed/release"
  fuzz_one "$build" "$seconds" nuvora_feed tests/update/fuzz/nuvora_feed_fuzz.cpp update/ini_text.cpp \
    update/offer.cpp update/feed_rules.cpp update/installer_keys.cpp update/ini_keys.cpp \
    update/ini_number.cpp update/sha256_text.cpp || status=1
  printf 'Morvel Software Development' >"$dir/corpus-text_pattern/plain"
  printf '%%H:%%M:%%S' >"$dir/corpus-text_pattern/clock"
  printf '%%Y %%Q 100%%%% %%' >"$dir/corpus-text_pattern/unknown"
  printf '%%D %%T %%Ec %%#x' >"$dir/corpus-text_pattern/later"
  printf '\316\226\317\211\316\256 %%H \346\227\245 \360\237\230\200' >"$dir/corpus-text_pattern/unicode"
  # The text ring's patterns: a few seconds are enough for this small grammar.
  fuzz_one "$build" "$(( seconds < 5 ? seconds : 5 ))" text_pattern \
    tests/fuzz/text_pattern_fuzz.cpp scene/text_format.cpp scene/glyph_cache.cpp xtl/unicode.cpp || status=1
  # Stored registry values: a type byte, then the data (a number as "0" and as four bytes).
  printf '\0010\000' >"$dir/corpus-registry_data/digit"
  printf '\004\001\000\000\000' >"$dir/corpus-registry_data/number"
  fuzz_one "$build" "$(( seconds < 5 ? seconds : 5 ))" registry_data \
    tests/fuzz/registry_data_fuzz.cpp xtl/registry_data.cpp xtl/unicode.cpp || status=1
  return $status
}
