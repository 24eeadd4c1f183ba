#!/usr/bin/env bash
# Makes a release of the current commit in build/release (see docs/RELEASING.md):
#
#   tools/package/release.sh [--allow-dirty] [--out DIR]
#
#   tessaryn-VERSION.tar.gz            the upstream source, which everything is built from
#   tessaryn-VERSION-setup.exe         the setup program carrying both Windows builds
#   tessaryn-VERSION-x64.msi, -x86.msi Windows Installer packages, one per build
#   tessaryn-VERSION-windows.zip       both builds' programs with README, LICENSE, policies/
#   policies/                          the administrative template (ADMX, en-US ADML)
#   tessaryn_VERSION-1_ARCH.deb        the XScreenSaver hack for Debian
#   tessaryn_VERSION-1.dsc, .debian.tar.xz, .orig.tar.gz, .changes  its source package
#   apt/                               a signed apt repository holding the .deb
#   tessaryn-archive-keyring.gpg, tessaryn.sources  what apt needs to use it
#   SHA256SUMS                         the checksums of the files beside it
#
# Signed when the environment names keys (tools/package/signing.sh): every program before it
# is packed, the setup program and its uninstaller, the packages, and with OpenPGP the
# checksums, the tarball, the source package and the repository. The version is the
# one CMakeLists.txt declares; SOURCE_DATE_EPOCH is the commit's time. Two releases of
# one commit are the same bytes (tools/package/verify-release.sh checks a published one).
#
# Environment: TESSARYN_APT_URI, where apt/ is published (for tessaryn.sources);
# TESSARYN_APT_REPO, an earlier release's apt/ to add this release to.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh
. tools/package/signing.sh

allow_dirty=no
out=build/release
while [ $# -gt 0 ]; do
  case $1 in
  --allow-dirty) allow_dirty=yes ;;
  --out) out=${2:?--out DIR}; shift ;;
  *) echo "usage: tools/package/release.sh [--allow-dirty] [--out DIR]" >&2; exit 2 ;;
  esac
  shift
done

version=$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  changes=$(git status --porcelain)
  if [ -n "$changes" ] && [ "$allow_dirty" = no ]; then
    echo "release: the tree has uncommitted changes (--allow-dirty to release them):" >&2
    echo "$changes" >&2
    exit 1
  fi
  export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
elif [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  echo "release: not a git clone: set SOURCE_DATE_EPOCH (tools/package/verify-release.sh does)" >&2
  exit 1
fi
# Nothing of the machine's own settings may reach a file.
export TZ=UTC LC_ALL=C.UTF-8
umask 022

check_signing_keys
if ! authenticode_keys && ! openpgp_key && ! carrying_over; then
  echo "release: no signing keys in the environment: this release is unsigned"
elif ! authenticode_keys || ! openpgp_key; then
  authenticode_keys || carrying_over || echo "release: no Authenticode key: Windows files unsigned"
  openpgp_key || carrying_over || echo "release: no OpenPGP key: checksums and repository unsigned"
fi

out=$(realpath -m "$out")
stage=$PWD/build/release-stage
published=${TESSARYN_SIGNATURES_FROM:-}
rm -rf "$out" "$stage"
mkdir -p "$out" "$stage/programs/32-bit" "$stage/programs/64-bit" "$stage/published"

tarball=$out/tessaryn-$version.tar.gz
bash tools/package/source-tarball.sh "$tarball"
sign_detached "$tarball"
echo "release: source $(basename "$tarball")"

# --- Windows: the programs, signed before anything packs them -----------------------

zip=tessaryn-$version-windows.zip
# A damaged zip gives no signatures: what carries its programs then differs, and says so.
if carrying_over && [ -f "$published/$zip" ]; then
  (cd "$stage/published" && unzip -q "$published/$zip") ||
    echo "release: cannot unpack the published $zip" >&2
fi
for bits in 32 64; do
  build "win$bits" tessaryn tessaryn_clock
  for program in tessaryn.scr tessaryn-clock.exe; do
    cp "build/win$bits/$program" "$stage/programs/$bits-bit/"
    sign_authenticode "$stage/programs/$bits-bit/$program" \
      "$stage/published/tessaryn-$version/$bits-bit/$program"
  done
done

# Both builds, README and LICENSE; times, modes and order fixed, no extra attributes.
zip_root=$stage/zip/tessaryn-$version
mkdir -p "$zip_root"
cp -r "$stage/programs/32-bit" "$stage/programs/64-bit" "$zip_root/"
cp README.md "$zip_root/README.md"
cp LICENSE "$zip_root/LICENSE.txt"
# The administrative template, in the zip and beside the packages: an administrator
# deploying either finds it there.
write_policy_template "$out"
cp -r "$out/policies" "$zip_root/"
find "$zip_root" -type f -exec chmod 644 {} + -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
(cd "$stage/zip" && find . -type f -printf '%P\n' | LC_ALL=C sort |
  zip -X -D -9 -q "$out/$zip" -@)
echo "release: $zip"

setup=$out/tessaryn-$version-setup.exe
uninstaller_signature=
if authenticode_keys || carrying_over; then
  uninstaller_signature=$out/tessaryn-$version-uninstall.exe.sig
fi
bash tools/package/package-setup.sh "$stage/programs" "$version" "$setup" ${uninstaller_signature:+"$uninstaller_signature"}
if carrying_over && [ -f "$published/$(basename "$uninstaller_signature")" ]; then
  cp "$published/$(basename "$uninstaller_signature")" "$uninstaller_signature"
fi
sign_authenticode "$setup" "$published/$(basename "$setup")"
echo "release: $(basename "$setup")"

bash tools/package/package-msi.sh "$stage/programs" "$version" "$out"
for msi in "$out"/tessaryn-"$version"-*.msi; do
  sign_authenticode "$msi" "$published/$(basename "$msi")"
  echo "release: $(basename "$msi")"
done

# --- Debian: the source package from the tarball, the .deb, the repository ----------

bash tools/package/package-deb.sh "$out" "$tarball" >/dev/null
echo "release: the source package and the .deb"

keyring=$out/tessaryn-archive-keyring.gpg
if openpgp_key; then
  gpg --batch --export "$TESSARYN_GPG_KEY" >"$keyring"
elif carrying_over && [ -f "$published/$(basename "$keyring")" ]; then
  cp "$published/$(basename "$keyring")" "$keyring"
fi
if [ -n "${TESSARYN_APT_REPO:-}" ]; then
  cp -r "$TESSARYN_APT_REPO" "$out/apt"
fi
bash tools/package/apt-repo.sh "$out/apt" "$out"/tessaryn_*.deb
cat >"$out/tessaryn.sources" <<EOF
Types: deb
URIs: ${TESSARYN_APT_URI:-https://tessaryn.example.org/apt}
Suites: stable
Components: main
Signed-By: /usr/share/keyrings/tessaryn-archive-keyring.gpg
EOF
echo "release: apt repository"

(cd "$out" && { find . -maxdepth 1 -type f ! -name 'SHA256SUMS*' -printf '%P\n'; find policies -type f; } |
  LC_ALL=C sort | xargs sha256sum >SHA256SUMS)
sign_detached "$out/SHA256SUMS"
rm -rf "$stage"
echo "release: $out"
