#!/usr/bin/env bash
# Publishes the next release on the loopback test server, as an organisation
# publishes it on its own mirror: the installers of tools/release and a feed
# made for this address, signed with the releases' throwaway key (its public
# half in STATE/feed-key.pub, for the tests to trust the way an administrator
# would). Beside it, feeds that Nuvora must refuse, each in a folder of its own:
#   release-wrong-hash   signed, but the hashes lie
#   release-unsigned     no signature
#   release-untrusted    signed by a key nobody trusts
#   release-tampered     one byte changed after signing
#   release-replayed     signed, with a lower Serial than the release's feed
#   release-expired      signed, past its Expires date
#   publish.sh STATE DIST VERSION FEED-KEY
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
state=$1 dist=$2 version=$3 key=$4
tool="$root/tools/lib/feed_key.py"
for arch in x86 x64; do
  [ -f "$dist/VerivirSetup-$version-$arch.exe" ] || {
    echo "$dist/VerivirSetup-$version-$arch.exe is missing: tools/release --version $version --out $dist" >&2
    exit 1
  }
done
bash "$root/tests/update/server_ctl.sh" start "$state" 1800
port=$(cat "$state/server.port")
served="$state/served/release"
base="http://127.0.0.1:$port/release"
rm -rf "$state"/served/release*
mkdir -p "$served"
cp "$dist"/VerivirSetup-"$version"-*.exe "$served/"
python3 "$tool" public "$key" >"$state/feed-key.pub"

serial=$(date -u +%Y%m%d%H%M)
feed() { # folder [release_feed.py options]: a signed feed for the published installers
  local folder=$1
  shift
  python3 "$root/tools/lib/release_feed.py" "$served" "$version" "$base" --feed-key "$key" "$@"
  mkdir -p "$folder"
  mv "$served/update.ini" "$served/update.ini.sig" "$folder/"
}
feed "$served-replayed" --serial $((serial - 1))
feed "$served-expired" --serial "$serial" --expires 2001-01-01
feed "$served-unsigned" --serial "$serial"
rm "$served-unsigned/update.ini.sig"
feed "$served-untrusted" --serial "$serial"
python3 "$tool" new "$state/stranger-key.pem.tmp" && mv "$state/stranger-key.pem.tmp" "$state/stranger-key.pem"
python3 "$tool" sign "$state/stranger-key.pem" "$served-untrusted/update.ini" >"$served-untrusted/update.ini.sig"
rm -f "$state/stranger-key.pem"
feed "$served-tampered" --serial "$serial"
sed -i 's/^Price=Freeware/Price=Freewarf/' "$served-tampered/update.ini"
feed "$served-wrong-hash" --serial "$serial"
# Same files, same addresses; only the hashes lie, under a valid signature.
sed -i -E 's/^(Sha256[^=]*)=.*/\1=0000000000000000000000000000000000000000000000000000000000000000\r/' \
  "$served-wrong-hash/update.ini"
python3 "$tool" sign "$key" "$served-wrong-hash/update.ini" >"$served-wrong-hash/update.ini.sig"
feed "$served.tmp" --serial "$serial"
mv "$served.tmp"/update.ini* "$served/" && rmdir "$served.tmp"
echo "release $version published at $base/update.ini, signed by $(cat "$state/feed-key.pub")"
