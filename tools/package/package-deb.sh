#!/usr/bin/env bash
# Builds the Debian source package and, from it, the binary package the way Debian
# would: a "3.0 (quilt)" source, version VERSION-1, from the upstream tarball
# tessaryn-VERSION.tar.gz (tools/package/source-tarball.sh), with installer/debian as its
# debian/; then dpkg-buildpackage, which builds only the hack with CMake (debian/rules).
#
#   tools/package/package-deb.sh [OUT [TARBALL]]
#
# writes into OUT (build/package by default) the .orig.tar.gz (with TARBALL.asc as its
# signature when there is one), the .debian.tar.xz, the .dsc, the .changes (without the
# .buildinfo, which records the build machine) and the .deb. The .dsc and .changes are
# clear-signed as tools/package/signing.sh says.
#
# Environment: TESSARYN_DEB_LAUNCHER, a compiler launcher (ccache) for the package's
# build alone; the builds of this tree keep their own.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh
. tools/package/signing.sh

out=$(realpath -m "${1:-build/package}")
tarball=${2:+$(realpath "$2")}

version=$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
debian_version=$(dpkg-parsechangelog -l installer/debian/changelog -S Version)
if [ "$version" != "${debian_version%-*}" ]; then
  echo "package-deb: CMakeLists.txt says $version, installer/debian/changelog" \
    "$debian_version; add a changelog entry for $version-1" >&2
  exit 1
fi
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

stage=$PWD/build/deb
tree=$stage/tessaryn-$version
orig=$stage/tessaryn_$version.orig.tar.gz
rm -rf "$stage"
mkdir -p "$stage" "$out"
if [ -n "$tarball" ]; then
  cp "$tarball" "$orig"
  [ ! -f "$tarball.asc" ] || cp "$tarball.asc" "$orig.asc"
else
  bash tools/package/source-tarball.sh "$orig"
fi
# The package is built from what the tarball holds, not from this tree.
tar -xzf "$orig" -C "$stage"
cp -r "$tree/installer/debian" "$tree/debian"
chmod -R a+rX,u+w,go-w "$tree/debian"

launcher=()
if [ -n "${TESSARYN_DEB_LAUNCHER:-}" ]; then
  launcher=(env CMAKE_CXX_COMPILER_LAUNCHER="$TESSARYN_DEB_LAUNCHER"
    CMAKE_C_COMPILER_LAUNCHER="$TESSARYN_DEB_LAUNCHER")
fi
(cd "$tree" && quietly "${launcher[@]}" dpkg-buildpackage -us -uc)
dsc=$stage/tessaryn_$debian_version.dsc
sign_clear "$dsc"
# Again, now that the .dsc is signed: the .changes lists the .dsc's checksums.
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
changes=$stage/tessaryn_${debian_version}_$arch.changes
(cd "$tree" && dpkg-genchanges -sa 2>/dev/null) | grep -v '\.buildinfo$' >"$changes"
sign_clear "$changes"

for f in "$orig" "$orig.asc" "$stage/tessaryn_$debian_version.debian.tar.xz" "$dsc" \
  "$changes" "$stage"/tessaryn_"$debian_version"_*.deb; do
  [ -f "$f" ] || continue
  cp "$f" "$out/"
  echo "package-deb: $out/$(basename "$f")"
done
