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

# The feed check before Nuvora reads a key: a release feed of the usual size,
# signed with a throwaway key.
feed_tool="$VERIVIR_ROOT/tools/lib/feed_key.py"
python3 "$feed_tool" new "$state/feed-key.pem" || exit 1
head -c 2000000 /dev/urandom >"$state/VerivirSetup-9.9-x86.exe"
head -c 2000000 /dev/urandom >"$state/VerivirSetup-9.9-x64.exe"
python3 "$VERIVIR_ROOT/tools/lib/release_feed.py" "$state" 9.9 https://example.org/verivir \
  --feed-key "$state/feed-key.pem" || exit 1
out=$(wine "$VERIVIR_WIN_BUILD/bench/nuvora_bench.exe" verify "Z:$state/update.ini" \
  "Z:$state/update.ini.sig" "$(python3 "$feed_tool" public "$state/feed-key.pem")" | tr -d '\r') || {
  echo "nuvora_bench verify failed: $out" >&2; exit 1; }
sed -E 's/.* ([0-9.]+) ms each.*/nuvora.feed.verify.ms: \1 ms/' <<<"$out"
