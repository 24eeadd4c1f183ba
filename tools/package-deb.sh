#!/usr/bin/env bash
# Builds the Linux hack with the native preset and packs it as a Debian package,
# tessaryn_VERSION_ARCH.deb, into OUT (build/package by default): the hack in
# XScreenSaver's hack folder, its XML in XScreenSaver's config folder, the manual page,
# the changelog and the copyright file. The packing is debhelper's, from installer/debian.
#   tools/package-deb.sh [--hack FILE] [OUT]
# --hack packs that build of the hack instead of building the native preset's.
set -euo pipefail
cd "$(dirname "$0")/.."

hack=""
if [ "${1:-}" = "--hack" ]; then
  hack=$(realpath "$2")
  shift 2
fi
out=$(realpath -m "${1:-build/package}")

version=$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -l installer/debian/changelog -S Version)
if [ "$version" != "$changelog_version" ]; then
  echo "package-deb: CMakeLists.txt says $version, installer/debian/changelog" \
    "$changelog_version; add a changelog entry for $version" >&2
  exit 1
fi

# The native preset's configuration in a tree of its own, with Debian's hardening flags
# (as debhelper would pass them), so the packed hack is built the way Debian builds its.
build_hardened_hack() {
  local tree=build/deb-native log status=0
  log=$(mktemp)
  {
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    # CMake reads no CPPFLAGS: the preprocessor's flags go with the compiler's.
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
      CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
      LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
      cmake --preset native -B "$tree" &&
      cmake --build "$tree" -j "$(nproc)" --target tessaryn
  } >"$log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || cat "$log"
  rm -f "$log"
  hack=$PWD/$tree/xscreensaver/tessaryn
  return "$status"
}

[ -n "$hack" ] || build_hardened_hack

stage=build/deb
tree=$stage/tessaryn-$version
rm -rf "$stage"
mkdir -p "$tree" "$out"
cp -r installer/debian "$tree/debian"
cp "$hack" "$tree/tessaryn"
cp xscreensaver/tessaryn.xml xscreensaver/tessaryn.6 "$tree/"

log=$(mktemp)
if ! (cd "$tree" && dpkg-buildpackage -b -us -uc) >"$log" 2>&1; then
  cat "$log"
  rm -f "$log"
  exit 1
fi
rm -f "$log"
deb=$(ls "$stage"/tessaryn_"$version"_*.deb)
cp "$deb" "$out/"
echo "package-deb: $out/$(basename "$deb")"
