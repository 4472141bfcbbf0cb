# Nuvora's installer download, in its real download dialog, against curl: a 50 MB
# file from the loopback test server.
set -u
state=$(mktemp -d)
ctl="$VERIVIR_ROOT/tests/update/server_ctl.sh"
trap 'bash "$ctl" stop "$state" >/dev/null; rm -rf "$state"' EXIT
bash "$ctl" start "$state" 600 >/dev/null || exit 1
port=$(cat "$state/server.port")
size=$((50 * 1024 * 1024))
head -c "$size" /dev/urandom >"$state/served/installer.bin"
url="http://127.0.0.1:$port/installer.bin"

out=$(wine "$VERIVIR_WIN_BUILD/bench/nuvora_bench.exe" "$url" "Z:$state/nuvora.bin" $((size / 1024)) | tr -d '\r') || {
  echo "nuvora_bench failed: $out" >&2; exit 1; }
nuvora_s=$(sed -E 's/.*seconds ([0-9.]+).*/\1/' <<<"$out")
nuvora_bytes=$(sed -E 's/^bytes ([0-9]+).*/\1/' <<<"$out")
[ "$nuvora_bytes" = "$size" ] || { echo "nuvora_bench got $nuvora_bytes of $size bytes" >&2; exit 1; }

curl_s=$(curl -s -o "$state/curl.bin" -w '%{time_total}' "$url") || { echo "curl failed" >&2; exit 1; }
cmp -s "$state/curl.bin" "$state/served/installer.bin" || { echo "curl copy differs" >&2; exit 1; }
cmp -s "$state/nuvora.bin" "$state/served/installer.bin" || { echo "nuvora copy differs" >&2; exit 1; }

awk -v n="$nuvora_s" -v c="$curl_s" -v s="$size" 'BEGIN {
  nm = s / 1048576 / n; cm = s / 1048576 / c
  printf "nuvora.download.mbps: %.1f MB/s\n", nm
  printf "curl.download.mbps: %.1f MB/s\n", cm
  printf "nuvora.download.ratio: %.3f\n", nm / cm
}'
