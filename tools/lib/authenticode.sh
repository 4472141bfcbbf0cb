# Authenticode signatures on the Windows programs of a release, made with osslsigncode.
# tools/release sources this file; makensis runs it as a program on the installer
# and the uninstaller it writes (!finalize, !uninstfinalize):
#   bash authenticode.sh FILE DESCRIPTION     signs FILE in place
# Who signs comes from the environment that authenticode_setup exports:
#   VERIVIR_SIGN_CERT, VERIVIR_SIGN_KEY   PEM certificate (with its chain) and private key
#   VERIVIR_SIGN_PKCS12                   or one PKCS#12 file
#   VERIVIR_SIGN_PASSWORD                 the key's password, if it has one: never an argument
#   VERIVIR_TIMESTAMP_URL                 an RFC 3161 time-stamp server, or empty
#   SOURCE_DATE_EPOCH                     the signing time when there is no time-stamp server

# Checks the signing arguments, exports them and says in one line whether the
# release is signed. Returns 2 on an unusable combination.
authenticode_setup() { # cert key pkcs12 timestamp-url
  local cert=$1 key=$2 pkcs12=$3 url=$4
  if [ -z "$cert$key$pkcs12" ]; then
    [ -z "$url" ] || { echo "tools/release: --timestamp-url needs a signing certificate" >&2; return 2; }
    echo "unsigned: no --sign-cert/--sign-key or --sign-pkcs12 given; Windows will name no publisher" >&2
    return 0
  fi
  if [ -n "$pkcs12" ] && [ -n "$cert$key" ]; then
    echo "tools/release: --sign-pkcs12 or --sign-cert with --sign-key, not both" >&2; return 2
  fi
  if [ -z "$pkcs12" ] && { [ -z "$cert" ] || [ -z "$key" ]; }; then
    echo "tools/release: --sign-cert and --sign-key go together" >&2; return 2
  fi
  local f
  for f in "$cert" "$key" "$pkcs12"; do
    [ -z "$f" ] || [ -r "$f" ] || { echo "tools/release: cannot read $f" >&2; return 2; }
  done
  command -v osslsigncode >/dev/null || { echo "tools/release: osslsigncode is missing" >&2; return 1; }
  export VERIVIR_SIGN_CERT=${cert:+$(realpath "$cert")} VERIVIR_SIGN_KEY=${key:+$(realpath "$key")}
  export VERIVIR_SIGN_PKCS12=${pkcs12:+$(realpath "$pkcs12")} VERIVIR_TIMESTAMP_URL=$url
  local who=$pkcs12
  [ -n "$cert" ] && who=$(openssl x509 -noout -subject -nameopt oneline -in "$cert" 2>/dev/null || echo "$cert")
  if [ -n "$url" ]; then
    echo "signed: $who, SHA-256, time stamp from $url" >&2
  else
    echo "signed: $who, SHA-256, signing time $(date -u -d "@$SOURCE_DATE_EPOCH" '+%F %T') UTC, no time stamp" >&2
  fi
}

authenticode_enabled() { [ -n "${VERIVIR_SIGN_PKCS12:-}${VERIVIR_SIGN_CERT:-}" ]; }

# Signs one PE file in place; its description is what Windows shows as the program's name.
authenticode_sign() { # file description
  local file=$1 args=(sign -h sha256 -n "$2")
  local home
  home=$(grep -oE 'IDS_LINK_HOME +"[^"]*"' "$(dirname "${BASH_SOURCE[0]}")/../../saver/settings_strings.rc" \
    | cut -d'"' -f2)
  [ -n "$home" ] && args+=(-i "$home")
  if [ -n "${VERIVIR_SIGN_PKCS12:-}" ]; then
    args+=(-pkcs12 "$VERIVIR_SIGN_PKCS12")
  else
    args+=(-certs "$VERIVIR_SIGN_CERT" -key "$VERIVIR_SIGN_KEY")
  fi
  # Without a time stamp the signing time is the commit's, so that signing is repeatable.
  if [ -n "${VERIVIR_TIMESTAMP_URL:-}" ]; then
    args+=(-ts "$VERIVIR_TIMESTAMP_URL")
  else
    args+=(-time "${SOURCE_DATE_EPOCH:?}")
  fi
  local log rc
  log=$(mktemp)
  rm -f "$file.signed"
  if [ -n "${VERIVIR_SIGN_PASSWORD+set}" ]; then
    osslsigncode "${args[@]}" -readpass <(printf '%s' "$VERIVIR_SIGN_PASSWORD") -in "$file" -out "$file.signed" >"$log" 2>&1
  else
    osslsigncode "${args[@]}" -in "$file" -out "$file.signed" >"$log" 2>&1
  fi
  rc=$?
  if [ $rc -ne 0 ]; then
    echo "authenticode: signing $file failed:" >&2; cat "$log" >&2
    rm -f "$log" "$file.signed"
    return 1
  fi
  rm -f "$log"
  mv "$file.signed" "$file"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  [ $# -eq 2 ] || { echo "usage: authenticode.sh FILE DESCRIPTION" >&2; exit 2; }
  authenticode_sign "$1" "$2"
fi
