#!/usr/bin/env bash
# Adds Debian packages to an apt repository and signs it, the way Debian's archive is
# laid out: pool/main/t/tessaryn/ and dists/stable/main/binary-ARCH/, with Release,
# its clear-signed InRelease and its detached Release.gpg (tools/package/signing.sh).
#
#   tools/package/apt-repo.sh REPO DEB...
#
# REPO may hold earlier releases: they stay, so apt sees the new version beside them and
# offers it as an upgrade. The indices are regenerated from the whole pool, sorted and
# dated SOURCE_DATE_EPOCH, so the same pool gives the same bytes.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/package/signing.sh

repo=$(realpath -m "${1:?repository directory}")
shift
pool=pool/main/t/tessaryn
mkdir -p "$repo/$pool"
for deb in "$@"; do
  cp "$deb" "$repo/$pool/"
done

cd "$repo"
mapfile -t archs < <(for deb in "$pool"/*.deb; do dpkg-deb -f "$deb" Architecture; done |
  LC_ALL=C sort -u)
rm -rf dists/stable
for arch in "${archs[@]}"; do
  dir=dists/stable/main/binary-$arch
  mkdir -p "$dir"
  dpkg-scanpackages -m -a "$arch" "$pool" /dev/null 2>/dev/null >"$dir/Packages"
  gzip -9nk "$dir/Packages"
done

epoch=${SOURCE_DATE_EPOCH:-$(date +%s)}
{
  echo "Origin: Tessaryn"
  echo "Label: Tessaryn"
  echo "Suite: stable"
  echo "Codename: stable"
  echo "Date: $(LC_ALL=C date -u -R -d "@$epoch")"
  echo "Architectures: ${archs[*]}"
  echo "Components: main"
  echo "Description: Tessaryn, the analog clock for XScreenSaver"
  echo "SHA256:"
  (cd dists/stable && find main -type f | LC_ALL=C sort | while read -r f; do
    printf ' %s %8d %s\n' "$(sha256sum <"$f" | cut -d' ' -f1)" "$(stat -c %s "$f")" "$f"
  done)
} >dists/stable/Release
sign_clear dists/stable/Release dists/stable/InRelease apt/dists/stable/InRelease
sign_detached dists/stable/Release dists/stable/Release.gpg apt/dists/stable/Release.gpg
