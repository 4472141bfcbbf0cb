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

# Each scene option is declared once, in its row of the option table: no other
# product source spells its value name or its 1.0 name ("DisplayLists", say)
# outside a comment.
check_options() { # root
  local root=$1 table=scene/scene_options.h names bad="" name hits
  # A row's first string is its value name, its last the 1.0 name (or the value name again).
  names=$(awk -F'"' '/^ *(Flag|Number|Text)\( *k[A-Za-z]+, *"/ { print $2; print $(NF - 1) }' \
    "$root/$table" | sort -u)
  [ -n "$names" ] || { echo "options: no rows found in $table"; return 1; }
  while read -r name; do
    hits=$(cd "$root" && git ls-files --cached --others --exclude-standard \
        framework xtl glx scene settings saver | grep -E '\.(c|cpp|h)$' | grep -vx "$table" \
      | xargs -r grep -HnF "\"$name\"" | grep -vE '^[^:]+:[0-9]+:[[:space:]]*//')
    [ -z "$hits" ] || bad+="$hits"$'\n'
  done <<<"$names"
  if [ -n "$bad" ]; then
    echo "option names spelled outside the option table ($table):"; printf '%s' "$bad"
    return 1
  fi
  echo "options: each value name is spelled once, in the option table"
}
