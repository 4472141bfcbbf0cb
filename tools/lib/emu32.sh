# 32-bit Wine under CPU emulation, for machines whose kernel refuses 32-bit code.
# Debian's own i386 Wine loader runs under the static qemu-i386 of bookworm-backports'
# qemu-user (bookworm's qemu 7.2 is far too slow), in a win32 prefix of its own that
# the native 64-bit wineserver serves. Sourced by tools/install and tools/lib/wine.sh.

verivir_cache=${VERIVIR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/verivir}
emu32_home="$verivir_cache/emu32"

# Where the 32-bit programs run: native, emulated, or none (no emulator fetched).
# VERIVIR_WIN32=emulated takes the emulated way even where 32-bit runs natively.
win32_mode() {
  if [ "${VERIVIR_WIN32:-}" != emulated ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo native
  elif [ -x "$emu32_home/qemu-i386" ]; then
    echo emulated
  else
    echo none
  fi
}

emu32_wanted() {
  [ "${VERIVIR_WIN32:-}" = emulated ] || ! /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# The Debian mirror the machine's apt already uses for bookworm.
debian_mirror() {
  local url
  url=$(apt-cache policy 2>/dev/null | awk '$3 == "bookworm/main" { print $2; exit }')
  echo "${url:-http://deb.debian.org/debian}"
}

# Fetches qemu-i386 into the cache with an apt configuration of its own, so the
# machine's sources, lists and installed packages stay as they are.
fetch_emu32() {
  [ -x "$emu32_home/qemu-i386" ] && return 0
  mkdir -p "$verivir_cache"
  (
    flock 9
    [ -x "$emu32_home/qemu-i386" ] || fetch_emu32_locked
  ) 9>"$verivir_cache/emu32.lock"
}

fetch_emu32_locked() {
  local work; work=$(mktemp -d "$verivir_cache/emu32-fetch.XXXXXX")
  local mirror; mirror=$(debian_mirror)
  echo "fetching qemu-user from $mirror bookworm-backports (for the 32-bit Wine)"
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/deb"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm-backports main" \
    >"$work/sources.list"
  local apt=(-q -o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" -o APT::Sandbox::User=root)
  local ok=0
  if apt-get "${apt[@]}" update >"$work/log" 2>&1 \
    && (cd "$work/deb" && apt-get "${apt[@]}" download qemu-user/bookworm-backports) >>"$work/log" 2>&1; then
    # Only the one binary of the package's many.
    mkdir -p "$work/x"
    dpkg-deb --fsys-tarfile "$work"/deb/qemu-user_*.deb | tar -x -C "$work/x" ./usr/bin/qemu-i386 \
      && "$work/x/usr/bin/qemu-i386" --version >>"$work/log" 2>&1 && ok=1
  fi
  if [ $ok -eq 1 ]; then
    mkdir -p "$emu32_home"
    mv "$work/x/usr/bin/qemu-i386" "$emu32_home/qemu-i386.tmp.$$"
    mv "$emu32_home/qemu-i386.tmp.$$" "$emu32_home/qemu-i386"
  else
    cat "$work/log" >&2
  fi
  rm -rf "$work"
  [ $ok -eq 1 ]
}

# Builds the loader folder once and prints the path of its `wine`. Wine starts every
# further process (services.exe, explorer.exe, a program's children) through the file
# named like its loader in the loader's own folder: that file is a script that comes
# back through qemu. The links beside it are where the loader looks for its libraries,
# its data and the server.
emu32_loader() {
  local key; key=$( (md5sum /usr/lib/wine/wine "$emu32_home/qemu-i386" | cut -c1-32) | md5sum | cut -c1-12)
  local dir="$emu32_home/loader-$key"
  if [ ! -x "$dir/lib/wine/wine" ]; then
    local tmp="$dir.tmp.$$"
    rm -rf "$tmp"
    mkdir -p "$tmp/lib/wine" "$tmp/lib/i386-linux-gnu" "$tmp/share"
    cp /usr/lib/wine/wine "$tmp/lib/wine/wine.elf"
    ln -s /usr/lib/wine/wineserver64 "$tmp/lib/wine/wineserver"
    ln -s /usr/lib/i386-linux-gnu/wine "$tmp/lib/i386-linux-gnu/wine"
    ln -s /usr/share/wine "$tmp/share/wine"
    printf '#!/bin/sh\nWINELOADERNOEXEC=1 exec "%s" -0 "%s" "%s" "$@"\n' \
      "$emu32_home/qemu-i386" "$dir/lib/wine/wine" "$dir/lib/wine/wine.elf" >"$tmp/lib/wine/wine"
    chmod +x "$tmp/lib/wine/wine"
    # Another run may have built it meanwhile: keep theirs.
    mv -T "$tmp" "$dir" 2>/dev/null || rm -rf "$tmp"
  fi
  echo "$dir/lib/wine/wine"
}
