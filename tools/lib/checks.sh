# Source checks that need no build: layout by clang-format, includes by layer.
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

# Include lines against the stack of folders, bottom up: framework/ and xtl/,
# glx/, scene/, settings/, saver/. A file may include headers of its own level
# and below; update/ stands apart on framework/ and xtl/. Tests, benchmarks and
# tools may include anything.
check_layers() { # root
  local root=$1 bad
  bad=$(cd "$root" && git ls-files --cached --others --exclude-standard \
      framework xtl glx scene settings saver update | grep -E '\.(c|cpp|h|rc)$' \
    | xargs -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' \
    | awk -F: '
      BEGIN { level["framework"] = 0; level["xtl"] = 0; level["glx"] = 1; level["scene"] = 2;
              level["settings"] = 3; level["saver"] = 4 }
      {
        split($1, from, "/"); f = from[1]
        text = $0; sub(/^[^:]*:[^:]*:/, "", text)
        match(text, /"[^"\/]+\//); t = substr(text, RSTART + 1, RLENGTH - 2)
        if (f == "update") ok = (t == "update" || t == "framework" || t == "xtl")
        else if (t == "update") ok = 0
        else if (!(t in level)) ok = 1
        else ok = level[t] <= level[f]
        if (!ok) print $1 ":" $2 ": " f "/ includes " t "/"
      }')
  if [ -n "$bad" ]; then
    echo "includes from a folder above the file's own (framework, xtl < glx < scene < settings < saver; update on framework, xtl):"
    echo "$bad"
    return 1
  fi
  echo "layers: every include goes down the stack"
}
