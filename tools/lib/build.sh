# Configures and builds the three builds of the tree below $1.
configure_build() { # dir toolchain-or-empty build-type
  local dir=$1 toolchain=$2 type=$3 args=()
  [ -n "$toolchain" ] && args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain")
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
  local b=$1 j=$2
  build_one "$b/host" "" Debug "$j" || { echo "host build failed" >&2; return 1; }
  build_one "$b/win32" toolchain-i686.cmake Release "$j" || { echo "win32 build failed" >&2; return 1; }
  build_one "$b/win64" toolchain-x86_64.cmake Release "$j" || { echo "win64 build failed" >&2; return 1; }
}
