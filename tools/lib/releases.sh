# Makes the releases the release tests need: this version and the next one,
# their feeds signed with a throwaway key of the build folder (never the
# maker's key: the tests trust it the way an organisation trusts its own).
make_releases() { # build-root
  local this next v log key="$1/releases/feed-key.pem"
  this=$(head -n1 "$root/VERSION")
  next=${this%.*}.$((${this#*.} + 1))
  mkdir -p "$1/releases"
  [ -s "$key" ] || python3 "$root/tools/lib/feed_key.py" new "$key" || return 1
  log=$(mktemp)
  for v in "$this" "$next"; do
    echo "== release $v"
    if ! VERIVIR_BUILD="$1" "$root/tools/release" --version "$v" --out "$1/releases/$v" \
        --feed-key "$key" >"$log" 2>&1; then
      cat "$log"; rm -f "$log"; return 1
    fi
  done
  rm -f "$log"
}
