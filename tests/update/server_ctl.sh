#!/usr/bin/env bash
# Starts or stops the loopback test server for a state folder:
#   server_ctl.sh start DIR [LIFETIME-SECONDS]   serves DIR/served, port in DIR/server.port
#   server_ctl.sh stop DIR
# It serves https too, with certificates made at start for "localhost": one
# signed by a throwaway test authority (DIR/ca.pem, port in DIR/tls-trusted.port),
# which a test may add to the Wine prefix's trusted roots, and one self-signed
# (port in DIR/tls-self-signed.port).
set -u
here=$(cd "$(dirname "$0")" && pwd)
cmd=$1 dir=$2

make_certificates() { # dir
  local d=$1 ec=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
  openssl req -x509 "${ec[@]}" -keyout "$d/ca.key" -out "$d/ca.pem" -days 7 \
    -subj "/CN=Nuvora test authority" -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" &&
  openssl req "${ec[@]}" -keyout "$d/trusted.key" -out "$d/trusted.csr" -subj "/CN=localhost" &&
  printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' \
    >"$d/trusted.ext" &&
  openssl x509 -req -in "$d/trusted.csr" -CA "$d/ca.pem" -CAkey "$d/ca.key" -CAcreateserial \
    -out "$d/trusted.pem" -days 7 -extfile "$d/trusted.ext" &&
  openssl req -x509 "${ec[@]}" -keyout "$d/self-signed.key" -out "$d/self-signed.pem" -days 7 \
    -subj "/CN=localhost" -addext "subjectAltName=DNS:localhost"
}

case "$cmd" in
  start)
    mkdir -p "$dir/served"
    "$0" stop "$dir"
    make_certificates "$dir" >"$dir/certificates.log" 2>&1 || {
      echo "test certificates could not be made" >&2; cat "$dir/certificates.log" >&2; exit 1; }
    # Detached, with its output away from ours, or ctest would wait for it.
    setsid python3 "$here/test_server.py" --root "$dir/served" --port-file "$dir/server.port" \
      --pid-file "$dir/server.pid" --lifetime "${3:-1800}" \
      --tls "$dir/tls-trusted.port" "$dir/trusted.pem" "$dir/trusted.key" \
      --tls "$dir/tls-self-signed.port" "$dir/self-signed.pem" "$dir/self-signed.key" \
      </dev/null >"$dir/server.log" 2>&1 &
    for _ in $(seq 100); do
      [ -s "$dir/server.port" ] && { echo "test server on port $(cat "$dir/server.port")"; exit 0; }
      sleep 0.1
    done
    echo "test server did not start" >&2; cat "$dir/server.log" >&2; exit 1 ;;
  stop)
    if [ -s "$dir/server.pid" ]; then
      pid=$(cat "$dir/server.pid")
      kill "$pid" 2>/dev/null
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -f "$dir/server.pid" "$dir/server.port" "$dir"/tls-*.port
    exit 0 ;;
esac
echo "usage: $0 start|stop DIR" >&2; exit 2
