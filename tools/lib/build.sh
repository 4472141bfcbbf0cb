# Configures and builds the three builds of the tree below $1.
configure_build() { # dir toolchain-or-empty build-type
  local dir=$1 toolchain=$2 type=$3 args=()
  [ -n "$toolchain" ] && args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain")
  # A compiler cache makes rebuilds in other clones of the tree cheap.
  if command -v ccache >/dev/null; then
    args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "${args[@]}" >"$dir.configure.log" 2>&1 \
      || { cat "$dir.configure.log"; return 1; }
  fi
}

build_one() { # dir toolchain type jobs
  mkdir -p "$(dirname "$1")"
  configure_build "$1" "$2" "$3" || return 1
  echo "== build $(basename "$1")"
  cmake --build "$1" -j "$4" 2>&1 | grep -vE '^\[ *[0-9]+%\]|^Consolidate|^Scanning|^Built target' ; return "${PIPESTATUS[0]}"
}

build_all() { # build-root jobs
  export CCACHE_BASEDIR=$root # paths relative to the tree, so clones share the cache
  local b=$1 j=$2
  # VERIVIR_BUILDS="host win64" narrows a developer's run; CI builds all three.
  local want=" ${VERIVIR_BUILDS:-host win32 win64} "
  if [[ $want == *" host "* ]]; then
    build_one "$b/host" "" Debug "$j" || { echo "host build failed" >&2; return 1; }
  fi
  if [[ $want == *" win32 "* ]]; then
    build_one "$b/win32" toolchain-i686.cmake Release "$j" || { echo "win32 build failed" >&2; return 1; }
  fi
  if [[ $want == *" win64 "* ]]; then
    build_one "$b/win64" toolchain-x86_64.cmake Release "$j" || { echo "win64 build failed" >&2; return 1; }
  fi
}
