#!/usr/bin/env bash
# Starts or stops the loopback test server for a state folder:
#   server_ctl.sh start DIR [LIFETIME-SECONDS]   serves DIR/served, port in DIR/server.port
#   server_ctl.sh stop DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
cmd=$1 dir=$2
case "$cmd" in
  start)
    mkdir -p "$dir/served"
    "$0" stop "$dir"
    # Detached, with its output away from ours, or ctest would wait for it.
    setsid python3 "$here/test_server.py" --root "$dir/served" --port-file "$dir/server.port" \
      --pid-file "$dir/server.pid" --lifetime "${3:-1800}" </dev/null >"$dir/server.log" 2>&1 &
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
    rm -f "$dir/server.pid" "$dir/server.port"
    exit 0 ;;
esac
echo "usage: $0 start|stop DIR" >&2; exit 2
