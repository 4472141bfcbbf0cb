# Source checks that need no build: layout by clang-format.
check_format() { # root
  local root=$1 bad
  bad=$(cd "$root" && git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run 2>&1 \
    | grep -oE '^[^:]+\.(cpp|h|c):' | sort -u | tr -d :)
  if [ -n "$bad" ]; then
    echo "not formatted by clang-format (run: clang-format -i FILE):"; echo "$bad"
    return 1
  fi
  echo "clang-format: every source is formatted"
}
