# Shared by tools/test, tools/run and tools/bench: a display and a private Wine prefix.
# Every run gets its own prefix, cloned from a cached template, so no test ever
# touches the user's own ~/.wine.

verivir_cache=${VERIVIR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/verivir}
# shellcheck source=emu32.sh
source "$(dirname "${BASH_SOURCE[0]}")/emu32.sh"

wine_settings_reg() {
  cat <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Times New Roman"="Liberation Serif"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
}

# 32-bit Linux programs cannot run on every machine of ours (some kernels refuse
# them); Wine then runs only 64-bit Windows programs, through its 64-bit loader.
win32_runs() {
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# Puts a `wine` on PATH that picks a loader that can run here.
wine_shim() {
  local bin="$verivir_cache/bin"
  mkdir -p "$bin"
  if win32_runs; then
    printf '#!/bin/sh\nexec /usr/lib/wine/wine "$@"\n' >"$bin/wine"
  else
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$bin/wine"
  fi
  chmod +x "$bin/wine"
  case ":$PATH:" in *":$bin:"*) ;; *) export PATH="$bin:$PATH" ;; esac
}

wine_common_env() {
  wine_shim
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  unset http_proxy https_proxy ftp_proxy no_proxy HTTP_PROXY HTTPS_PROXY FTP_PROXY NO_PROXY all_proxy ALL_PROXY
}

# Starts Xvfb unless a display is already there; sets DISPLAY and VERIVIR_XVFB_PID.
start_display() {
  VERIVIR_XVFB_PID=""
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  VERIVIR_XVFB_PID=$!
  local num; read -r -t 20 num <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$num" ]; then echo "Xvfb did not start" >&2; return 1; fi
  export DISPLAY=":$num"
}

stop_display() {
  if [ -n "${VERIVIR_XVFB_PID:-}" ]; then
    kill "$VERIVIR_XVFB_PID" 2>/dev/null || true
    wait "$VERIVIR_XVFB_PID" 2>/dev/null || true
  fi
}

# Builds the template prefix once per Wine version and settings; prints its path.
wine_template() {
  wine_common_env
  local key
  # The emulated loader has no --version of its own: it would start a prefix in ~/.wine.
  key=$( (if emu32_active; then echo "emulated win32 $VERIVIR_EMU32"; else
    wine --version; win32_runs && echo win32; fi
  wine_settings_reg) | md5sum | cut -c1-12)
  local template="$verivir_cache/wine-template-$key"
  mkdir -p "$verivir_cache"
  (
    flock 9
    if [ ! -d "$template" ]; then
      local tmp="$template.tmp.$$"
      rm -rf "$tmp"
      # The lock's descriptor must not leak into Wine's daemons, or it is never released.
      (
        exec 9>&-
        export WINEPREFIX="$tmp"
        wine wineboot -i >/dev/null 2>&1
        local reg; reg=$(mktemp --suffix=.reg); wine_settings_reg >"$reg"
        wine regedit /S "$reg" >/dev/null 2>&1
        rm -f "$reg"
        wineserver -w
      )
      mv "$tmp" "$template"
    fi
  ) 9>"$verivir_cache/lock"
  echo "$template"
}

# Clones the template into $1 and starts a persistent wineserver there with its
# background processes detached from our output (else ctest waits for them).
start_wine() {
  local prefix=$1 template
  wine_common_env
  template=$(wine_template)
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  cp -al "$template" "$prefix"
  # Wine rewrites its registry files in place, so hard links would carry each
  # run's registry changes into the template and every other clone: copy them.
  local reg
  for reg in "$template"/*.reg; do cp --remove-destination "$reg" "$prefix/"; done
  export WINEPREFIX="$prefix"
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  export VERIVIR_WINE_READY=1
}

# The same for the 32-bit programs where they run only under emulation: stops the
# 64-bit server first, then switches this shell to the emulated loader and a win32 prefix.
start_wine32_emulated() {
  local prefix=$1 loader
  stop_wine
  loader=$(emu32_loader) || return 1
  wine_shim # first, so that the emulated `wine` comes before it on PATH
  local bin="$emu32_home/bin"
  mkdir -p "$bin"
  ln -sfn "$loader" "$bin/wine"
  export PATH="$bin:$PATH" WINEARCH=win32 VERIVIR_EMU32=$loader
  start_wine "$prefix"
}

emu32_active() { [ -n "${VERIVIR_EMU32:-}" ]; }

# Each tool picks its Wine itself: what a caller's shell left behind (the emulated
# loader on PATH, a win32 prefix, another tool's prefix) must not decide it.
wine_forget_inherited() {
  local dir kept=""
  local IFS=:
  for dir in $PATH; do
    [ "$dir" = "$emu32_home/bin" ] || kept=${kept:+$kept:}$dir
  done
  PATH=$kept
  unset VERIVIR_EMU32 WINEARCH WINELOADER WINEPREFIX VERIVIR_WINE_READY
}
wine_forget_inherited

stop_wine() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
}
