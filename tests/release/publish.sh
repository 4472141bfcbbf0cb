#!/usr/bin/env bash
# Publishes the next release on the loopback test server, as an organisation
# publishes it on its own mirror: the installers of tools/release and a feed
# made for this address. A second feed names the same files with wrong hashes.
#   publish.sh STATE DIST VERSION
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
state=$1 dist=$2 version=$3
for arch in x86 x64; do
  [ -f "$dist/VerivirSetup-$version-$arch.exe" ] || {
    echo "$dist/VerivirSetup-$version-$arch.exe is missing: tools/release --version $version --out $dist" >&2
    exit 1
  }
done
bash "$root/tests/update/server_ctl.sh" start "$state" 1800
port=$(cat "$state/server.port")
served="$state/served/release"
rm -rf "$served" "$served-wrong-hash"
mkdir -p "$served" "$served-wrong-hash"
cp "$dist"/VerivirSetup-"$version"-*.exe "$served/"
python3 "$root/tools/lib/release_feed.py" "$served" "$version" "http://127.0.0.1:$port/release"
# Same files, same addresses; only the hashes lie.
sed -E 's/^(Sha256[^=]*)=.*/\1=0000000000000000000000000000000000000000000000000000000000000000/' \
  "$served/update.ini" >"$served-wrong-hash/update.ini"
echo "release $version published at http://127.0.0.1:$port/release/update.ini"
