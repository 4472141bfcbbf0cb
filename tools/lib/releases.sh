# Makes the releases the release tests need: this version and the next one.
make_releases() { # build-root
  local this next v log
  this=$(head -n1 "$root/VERSION")
  next=${this%.*}.$((${this#*.} + 1))
  log=$(mktemp)
  for v in "$this" "$next"; do
    echo "== release $v"
    if ! VERIVIR_BUILD="$1" "$root/tools/release" --version "$v" --out "$1/releases/$v" >"$log" 2>&1; then
      cat "$log"; rm -f "$log"; return 1
    fi
  done
  rm -f "$log"
}
