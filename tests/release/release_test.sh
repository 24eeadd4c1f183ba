#!/usr/bin/env bash
# A signed release as its makers and users check it:
#
#   tests/release/release_test.sh
#
# refuses a tree with uncommitted changes; makes a release with throwaway keys made here
# (tests/release/throwaway_keys.sh), reusing the win32 and win64 builds; checks every
# Authenticode signature against the throwaway CA and every OpenPGP signature with the
# release's own keyring, and that one changed byte fails both; checks the checksums, the
# source package and what apt needs; then installs the signed 32-bit package and the
# signed setup program under Wine and runs what they installed. Exits non-zero when a
# check fails.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/support/checks.sh
. tests/release/throwaway_keys.sh

version=$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
work=$(realpath -m build/release-test)
rm -rf "$work"
mkdir -p "$work"
trap drop_throwaway_keys EXIT

echo "== a tree with uncommitted changes"
git clone -q . "$work/clone"
echo stray >"$work/clone/stray-file"
refused() {
  ! (cd "$work/clone" && bash tools/package/release.sh --out "$work/refused") >"$work/refused.log" 2>&1 &&
    grep -q 'uncommitted changes' "$work/refused.log" && grep -q stray-file "$work/refused.log" &&
    [ ! -e "$work/refused" ]
}
check "is refused, naming the change, before anything is built" refused

echo "== a release without keys"
unsigned_said_once() {
  env -u TESSARYN_SIGN_PKCS12 -u TESSARYN_GPG_KEY bash tools/package/release.sh --allow-dirty \
    --out "$work/keyless" >"$work/keyless.log" 2>&1 &&
    [ "$(grep -ci unsigned "$work/keyless.log")" -eq 1 ] &&
    [ -z "$(cd "$work/keyless" && find . -name '*.asc' -o -name InRelease -o -name '*.sig')" ]
}
check "is made unsigned, and says so in one line" unsigned_said_once

echo "== a signed release"
make_throwaway_keys "$work/keys"
keys=$work/keys
release=$work/release
if ! bash tools/package/release.sh --allow-dirty --out "$release" >"$work/release.log" 2>&1; then
  cat "$work/release.log"
  echo "release.sh failed"
  exit 1
fi
check "release.sh says nothing of an unsigned release" bash -c '! grep -qi unsigned "$0"' "$work/release.log"

# The programs as the zip carries them: what the setup program and the packages carry too.
mkdir -p "$work/zip"
(cd "$work/zip" && unzip -q "$release/tessaryn-$version-windows.zip")
programs=$work/zip/tessaryn-$version

authenticode_holds() { osslsigncode verify -CAfile "$keys/ca.pem" -in "$1" >/dev/null 2>&1; }
for file in "$release/tessaryn-$version-setup.exe" "$release/tessaryn-$version-x64.msi" \
  "$release/tessaryn-$version-x86.msi" "$programs"/{32,64}-bit/tessaryn{.scr,-clock.exe}; do
  check "Authenticode on ${file#"$work"/}" authenticode_holds "$file"
done
uninstaller_signed_by_us() {
  openssl pkcs7 -inform DER -in "$release/tessaryn-$version-uninstall.exe.sig" -print_certs |
    grep -q 'CN *= *Tessaryn throwaway signer'
}
check "the uninstaller's signature is kept, made with the release's certificate" \
  uninstaller_signed_by_us

export KEYRING=$release/tessaryn-archive-keyring.gpg
openpgp_holds() { gpgv --keyring "$KEYRING" "$@" >/dev/null 2>&1; }
deb_version=$version-1
apt=$release/apt/dists/stable
while read -r signature data; do
  check "OpenPGP on ${signature#"$release"/}" openpgp_holds "$signature" ${data:+"$data"}
done <<TABLE
$release/SHA256SUMS.asc $release/SHA256SUMS
$release/tessaryn-$version.tar.gz.asc $release/tessaryn-$version.tar.gz
$release/tessaryn_$version.orig.tar.gz.asc $release/tessaryn_$version.orig.tar.gz
$release/tessaryn_$deb_version.dsc
$release/tessaryn_${deb_version}_amd64.changes
$apt/InRelease
$apt/Release.gpg $apt/Release
TABLE

echo "== one changed byte (controls)"
# Copy of $1 with the byte in its middle changed.
changed_copy() {
  local copy size
  copy=$work/changed-$(basename "$1")
  cp "$1" "$copy"
  size=$(stat -c %s "$copy")
  printf '\x5a' | dd of="$copy" bs=1 seek=$((size / 2)) conv=notrunc status=none
  cmp -s "$1" "$copy" && printf '\xa5' | dd of="$copy" bs=1 seek=$((size / 2)) conv=notrunc status=none
  echo "$copy"
}
for file in "$release/tessaryn-$version-setup.exe" "$release/tessaryn-$version-x86.msi" \
  "$programs/64-bit/tessaryn.scr"; do
  check "a changed $(basename "$file") fails Authenticode" \
    bash -c '! osslsigncode verify -CAfile "$0" -in "$1" >/dev/null 2>&1' \
    "$keys/ca.pem" "$(changed_copy "$file")"
done
check "a changed SHA256SUMS fails OpenPGP" \
  bash -c '! gpgv --keyring "$KEYRING" "$0" "$1" >/dev/null 2>&1' \
  "$release/SHA256SUMS.asc" "$(changed_copy "$release/SHA256SUMS")"
check "a changed tarball fails OpenPGP" \
  bash -c '! gpgv --keyring "$KEYRING" "$0" "$1" >/dev/null 2>&1' \
  "$release/tessaryn-$version.tar.gz.asc" "$(changed_copy "$release/tessaryn-$version.tar.gz")"

# verify-release.sh's comparison, without its rebuild: the release against itself, and
# a copy with one byte of one package changed, which must be named.
mkdir -p "$work/changed-release"
cp -r "$release/." "$work/changed-release/"
cp "$(changed_copy "$release/tessaryn-$version-x64.msi")" "$work/changed-release/tessaryn-$version-x64.msi"
verify_against() { bash tools/package/verify-release.sh --against "$release" "$1" >"$work/verify.log" 2>&1; }
check "verify-release finds the release reproduced by itself" verify_against "$release"
names_the_changed_file_alone() {
  ! verify_against "$work/changed-release" &&
    grep -q "^NOT reproduced  tessaryn-$version-x64.msi " "$work/verify.log" &&
    [ "$(grep -c '^NOT reproduced' "$work/verify.log")" -eq 1 ]
}
check "verify-release fails a copy with one changed byte, naming that file alone" \
  names_the_changed_file_alone

echo "== what the release holds"
check "sha256sum -c SHA256SUMS passes" bash -c 'cd "$0" && sha256sum --quiet -c SHA256SUMS' "$release"
listed_in_sums() { awk '{ print $2 }' "$release/SHA256SUMS" | grep -qx "$1"; }
for name in "tessaryn-$version-setup.exe" "tessaryn-$version-x64.msi" "tessaryn-$version-x86.msi" \
  "tessaryn-$version-windows.zip" "tessaryn_${deb_version}_amd64.deb" "tessaryn-$version.tar.gz" \
  "tessaryn_$deb_version.dsc" tessaryn-archive-keyring.gpg tessaryn.sources \
  policies/tessaryn.admx policies/en-US/tessaryn.adml; do
  check "SHA256SUMS lists $name" listed_in_sums "$name"
done
field() { sed -n "s/^$2: //p" "$1"; }
check "the source package is 3.0 (quilt), version $deb_version" bash -c \
  '[ "$0" = "3.0 (quilt)" ] && [ "$1" = "$2" ]' "$(field "$release/tessaryn_$deb_version.dsc" Format)" \
  "$(field "$release/tessaryn_$deb_version.dsc" Version)" "$deb_version"
check "its upstream tarball is the release's, with its signature" bash -c \
  'cmp -s "$0/tessaryn-$1.tar.gz" "$0/tessaryn_$1.orig.tar.gz" && grep -q "tessaryn_$1.orig.tar.gz.asc$" "$0/tessaryn_$1-1.dsc"' \
  "$release" "$version"
zip_holds() {
  [ "$(unzip -Z1 "$release/tessaryn-$version-windows.zip" | LC_ALL=C sort | tr '\n' ' ')" = \
    "tessaryn-$version/32-bit/tessaryn-clock.exe tessaryn-$version/32-bit/tessaryn.scr tessaryn-$version/64-bit/tessaryn-clock.exe tessaryn-$version/64-bit/tessaryn.scr tessaryn-$version/LICENSE.txt tessaryn-$version/README.md tessaryn-$version/policies/en-US/tessaryn.adml tessaryn-$version/policies/tessaryn.admx " ]
}
check "the zip holds both builds, README, LICENSE and the administrative template" zip_holds
# What would make two builds differ: a link time in the PE header, a build path.
pe_time_stamp() {
  local header
  header=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')
  od -An -tu4 -j $((header + 8)) -N 4 "$1" | tr -d ' '
}
dpkg-deb -x "$release/tessaryn_${deb_version}_amd64.deb" "$work/deb"
for file in "$programs"/{32,64}-bit/tessaryn{.scr,-clock.exe} "$work/deb/usr/libexec/xscreensaver/tessaryn"; do
  case $file in *.scr | *.exe) check "no link time in ${file#"$work"/}" test "$(pe_time_stamp "$file")" = 0 ;; esac
  check "no build path in ${file#"$work"/}" bash -c '! grep -aqF "$0" "$1"' "$PWD" "$file"
done
check "the repository's pool holds the .deb" \
  cmp -s "$release/tessaryn_${deb_version}_amd64.deb" "$release/apt/pool/main/t/tessaryn/tessaryn_${deb_version}_amd64.deb"
check "tessaryn.sources names the keyring apt checks with" \
  grep -qx 'Signed-By: /usr/share/keyrings/tessaryn-archive-keyring.gpg' "$release/tessaryn.sources"

echo "== the signed programs installed under Wine"
export TESSARYN_WINEARCH=win32
tools/testbed/wine-run.sh --session --prefix "$work/wineprefix" \
  bash tests/release/signed_install.sh "$release" "$programs" "$keys/ca.pem" || failures=$((failures + 1))

echo "release test: $failures failure(s)"
[ "$failures" -eq 0 ]
