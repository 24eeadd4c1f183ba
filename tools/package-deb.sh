#!/usr/bin/env bash
# Builds the Debian source package and, from it, the binary package the way Debian
# would: the project's source (the files git tracks or would track) copied into a
# staging tree with installer/debian as its debian/, then dpkg-buildpackage, which
# builds only the hack with CMake (debian/rules). Writes tessaryn_VERSION.dsc, its
# tarball and tessaryn_VERSION_ARCH.deb into OUT (build/package by default).
#   tools/package-deb.sh [OUT]
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh

out=$(realpath -m "${1:-build/package}")

version=$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -l installer/debian/changelog -S Version)
if [ "$version" != "$changelog_version" ]; then
  echo "package-deb: CMakeLists.txt says $version, installer/debian/changelog" \
    "$changelog_version; add a changelog entry for $version" >&2
  exit 1
fi

stage=build/deb
tree=$stage/tessaryn-$version
rm -rf "$stage"
mkdir -p "$tree" "$out"
# Tracked and new files, not what .gitignore leaves out (build trees, prefixes).
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  tar --null -T - -cf - | tar -xf - -C "$tree"
cp -r installer/debian "$tree/debian"

(cd "$tree" && quietly dpkg-buildpackage -us -uc)
for f in "$stage"/tessaryn_"$version".dsc "$stage"/tessaryn_"$version".tar.* \
  "$stage"/tessaryn_"$version"_*.deb; do
  cp "$f" "$out/"
  echo "package-deb: $out/$(basename "$f")"
done
