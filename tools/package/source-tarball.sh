#!/usr/bin/env bash
# Writes the upstream source tarball, tessaryn-VERSION/ with every source file in it:
#
#   tools/package/source-tarball.sh OUT.tar.gz
#
# In a git clone: the files git tracks or would track (not what .gitignore leaves out);
# in a tree unpacked from such a tarball: every file but build/. The same source gives
# the same bytes whatever the clone's path, umask, locale or time zone: names sorted,
# owners and times (SOURCE_DATE_EPOCH, the commit's time by default) fixed, modes from
# the executable bit alone, and gzip without a name or time of its own.
set -euo pipefail
cd "$(dirname "$0")/../.."

out=$(realpath -m "${1:?output tarball}")
version=$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

source_files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
      while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done
  else
    find . -path ./build -prune -o \( -type f -o -type l \) -printf '%P\0'
  fi
}

mkdir -p "$(dirname "$out")"
source_files | LC_ALL=C sort -z |
  LC_ALL=C tar --format=gnu --sort=name --mtime="@$epoch" --owner=0 --group=0 \
    --numeric-owner --mode=a+rX,u+w,go-w --transform="flags=r;s,^,tessaryn-$version/," \
    --no-recursion --null -T - -cf - |
  gzip -9n >"$out.tmp"
mv "$out.tmp" "$out"
