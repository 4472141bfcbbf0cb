# Makes the releases the release tests need: this version and the next one,
# signed with a throwaway code-signing certificate made for this run.
make_releases() { # build-root
  local this next v log signer="$1/releases/signer"
  this=$(head -n1 "$root/VERSION")
  next=${this%.*}.$((${this#*.} + 1))
  make_test_signer "$signer" || return 1
  log=$(mktemp)
  for v in "$this" "$next"; do
    echo "== release $v"
    if ! VERIVIR_BUILD="$1" "$root/tools/release" --version "$v" --out "$1/releases/$v" \
      --sign-cert "$signer/cert.pem" --sign-key "$signer/key.pem" >"$log" 2>&1; then
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
