# tools/release --verify-reproducible: releases the checked-out commit twice, each
# time in a clean clone of its own (another path, another time, build trees of
# its own; the compiler cache is shared) and compares everything the two wrote
# but the signed feed,
# byte for byte.
verify_reproducible() { # root [release args...]
  local root=$1; shift
  local commit started=$SECONDS work side status=0
  commit=$(git -C "$root" rev-parse HEAD) || return 1
  if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    echo "note: uncommitted changes are not part of the check; it releases $commit as committed" >&2
  fi
  work=$(mktemp -d "${TMPDIR:-/tmp}/verivir-reproducible.XXXXXX")
  if [[ " $* " != *" --feed-key "* ]]; then
    python3 "$root/tools/lib/feed_key.py" new "$work/feed-key.pem" >/dev/null || { rm -rf "$work"; return 1; }
    set -- "$@" --feed-key "$work/feed-key.pem"
  fi
  for side in first second; do
    echo "== reproducible: $side clean clone of $commit" >&2
    git clone -q --no-checkout "$root" "$work/$side-clone" \
      && git -C "$work/$side-clone" checkout -q --detach "$commit" || { rm -rf "$work"; return 1; }
    # The build trees inside the clone, where a checkout has them: the cache then
    # serves the same relative paths.
    if ! (cd "$work/$side-clone" && VERIVIR_BUILD="$work/$side-clone/build" \
      tools/release --out "$work/$side-dist" "$@") >"$work/$side.log" 2>&1; then
      tail -30 "$work/$side.log" >&2
      echo "reproducible: the $side release failed (log: $work/$side.log)" >&2
      return 1
    fi
  done
  # The feed is the one file made anew on purpose: its Serial and Expires come from the
  # clock (each feed must rise above the last) and ECDSA signatures are randomised.
  for side in first second; do
    (cd "$work/$side-dist" && find . -type f ! -name 'update.ini*' | sort | xargs sha256sum) \
      >"$work/$side.sums"
  done
  if cmp -s "$work/first.sums" "$work/second.sums"; then
    echo "reproducible: two clean clones of $commit gave the same $(wc -l <"$work/first.sums") files" \
      "in $((SECONDS - started)) s:"
    sed 's/^/  /' "$work/first-dist/SHA256SUMS"
  else
    echo "NOT reproducible: two clean clones of $commit differ:"
    diff "$work/first.sums" "$work/second.sums" | sed 's/^/  /'
    status=1
  fi
  if [ $status -eq 0 ]; then rm -rf "$work"; else echo "(both releases kept in $work)"; fi
  return $status
}
