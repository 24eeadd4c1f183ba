#!/usr/bin/env bash
# Makes two unsigned releases of one commit and compares them, file by file:
#
#   tools/package/reproduce-twice.sh [COMMIT]
#
# from two clones at different paths, one after the other (so at different times), the
# second with another time zone, umask and locale. Prints each file as identical or
# not, and how long each release took; exits non-zero when any file differs. Needs what
# tools/package/release.sh needs; takes two full builds of both Windows presets.
set -euo pipefail
cd "$(dirname "$0")/../.."

commit=$(git rev-parse "${1:-HEAD}")
first=$(mktemp -d /tmp/tessaryn-first.XXXXXX)
second=$(mktemp -d /var/tmp/tessaryn-reproduce-second-clone.XXXXXX)

# Release $1 (a directory) from a clone in $1/src, in the environment "$@" after it.
release_in() {
  local dir=$1 start=$SECONDS
  shift
  git clone -q "$PWD" "$dir/src"
  git -C "$dir/src" checkout -q "$commit"
  if ! (cd "$dir/src" && env -u TESSARYN_SIGN_PKCS12 -u TESSARYN_GPG_KEY "$@" \
    bash tools/package/release.sh --out "$dir/release") >"$dir/release.log" 2>&1; then
    tail -n 30 "$dir/release.log"
    echo "reproduce-twice: the release in $dir failed" >&2
    exit 1
  fi
  echo "reproduce-twice: $dir/release in $((SECONDS - start)) s"
}
release_in "$first" TZ=UTC LC_ALL=C.UTF-8 bash -c 'umask 022; exec "$@"' _
release_in "$second" TZ=Pacific/Kiritimati LC_ALL=C LANG=fr_FR.UTF-8 \
  bash -c 'umask 077; exec "$@"' _

different=0 count=0
while IFS= read -r f; do
  count=$((count + 1))
  if cmp -s "$first/release/$f" "$second/release/$f"; then
    echo "identical  $f"
  else
    echo "DIFFERENT  $f"
    different=$((different + 1))
  fi
done < <(cd "$first/release" && find . -type f -printf '%P\n' | LC_ALL=C sort)
if [ "$(cd "$second/release" && find . -type f | wc -l)" -ne "$count" ]; then
  echo "DIFFERENT  the second release holds another number of files"
  different=$((different + 1))
fi
if [ "$different" -ne 0 ]; then
  echo "reproduce-twice: $different of $count differ; both are kept in $first and $second"
  exit 1
fi
rm -rf "$first" "$second"
echo "reproduce-twice: all $count files identical"
