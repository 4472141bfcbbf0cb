# Makes the releases the release tests need: this version and the next one,
# signed with a throwaway code-signing certificate made for this run, and their
# feeds with a throwaway key of the build folder (never the maker's key: the
# tests trust it the way an organisation trusts its own).
make_releases() { # build-root
  local this next v log signer="$1/releases/signer" key="$1/releases/feed-key.pem"
  this=$(head -n1 "$root/VERSION")
  next=${this%.*}.$((${this#*.} + 1))
  make_test_signer "$signer" || return 1
  mkdir -p "$1/releases"
  [ -s "$key" ] || python3 "$root/tools/lib/feed_key.py" new "$key" || return 1
  log=$(mktemp)
  for v in "$this" "$next"; do
    echo "== release $v"
    if ! VERIVIR_BUILD="$1" "$root/tools/release" --version "$v" --out "$1/releases/$v" \
      --sign-cert "$signer/cert.pem" --sign-key "$signer/key.pem" --feed-key "$key" >"$log" 2>&1; then
      cat "$log"; rm -f "$log"; return 1
    fi
  done
  rm -f "$log"
}

# A self-signed code-signing certificate and its key, never reused: the release
# tests take it as the one trusted signer.
make_test_signer() { # dir
  rm -rf "$1" && mkdir -p "$1" || return 1
  openssl req -x509 -newkey rsa:2048 -nodes -days 7 -keyout "$1/key.pem" -out "$1/cert.pem" \
    -subj "/CN=Verivir test signer/O=Throwaway" -addext "keyUsage=critical,digitalSignature" \
    -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1 \
    || { echo "make_test_signer: openssl failed" >&2; return 1; }
}
