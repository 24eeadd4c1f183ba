#!/usr/bin/env bash
# Checks that a published release was built from its own source:
#
#   tools/package/verify-release.sh DIR
#
# unpacks DIR's upstream tarball elsewhere, makes the release again from it with that
# tree's own tools/package/release.sh, carrying each published signature onto the rebuilt file
# as it goes (a program's Authenticode signature before the setup program, the zip and
# the MSIs pack it; then theirs), and compares every file of DIR with the rebuilt one.
# A detached OpenPGP signature counts when it verifies, with the release's own keyring,
# over the rebuilt file. Prints each file as reproduced or NOT reproduced; exits
# non-zero when any is not. Needs what tools/package/release.sh needs (tools/install-deps.sh).
#
#   tools/package/verify-release.sh --against REBUILT DIR
#
# compares DIR with a rebuild made before, REBUILT, without building.
set -euo pipefail

against=
if [ "${1:-}" = --against ]; then
  against=$(realpath "${2:?rebuilt release directory}")
  shift 2
fi
published=$(realpath "${1:?release directory}")
tarballs=("$published"/tessaryn-*.tar.gz)
tarball=${tarballs[0]}
[ -f "$tarball" ] || { echo "verify-release: no tessaryn-VERSION.tar.gz in $published" >&2; exit 1; }
name=$(basename "$tarball" .tar.gz)

# The tarball's files are dated with the commit's time, which the release is built with.
stamp=$(TZ=UTC tar -tvzf "$tarball" --full-time | awk 'NR == 1 { print $4 " " $5 }')
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(TZ=UTC date -d "$stamp" +%s)

work=$(mktemp -d /tmp/tessaryn-verify.XXXXXX)
rebuilt=${against:-$work/release}
if [ -z "$against" ]; then
  log=$work/release.log
  tar -xzf "$tarball" -C "$work"
  uri=$(sed -n 's/^URIs: //p' "$published/tessaryn.sources" 2>/dev/null || true)
  echo "verify-release: rebuilding $name in $work (log: $log)"
  # Releases made before the tools were sorted into folders keep it at the top.
  maker=tools/package/release.sh
  [ -f "$work/$name/$maker" ] || maker=tools/release.sh
  if ! (cd "$work/$name" && env -u TESSARYN_SIGN_PKCS12 -u TESSARYN_GPG_KEY \
    TESSARYN_SIGNATURES_FROM="$published" TESSARYN_APT_REPO="$published/apt" \
    ${uri:+TESSARYN_APT_URI="$uri"} bash "$maker" --out "$rebuilt") >"$log" 2>&1; then
    tail -n 30 "$log"
    echo "verify-release: the rebuild failed" >&2
    exit 1
  fi
fi

# gpgv keeps nothing of its own: the release's keyring is the only key it knows.
export GNUPGHOME=$work/gnupg
mkdir -m 700 "$GNUPGHOME"
keyring=$published/tessaryn-archive-keyring.gpg
signature_holds() {
  [ -f "$keyring" ] && [ -f "$rebuilt/$2" ] &&
    gpgv --keyring "$keyring" "$published/$1" "$rebuilt/$2" >/dev/null 2>&1
}

failed=0
report() {
  if [ "$2" = yes ]; then
    printf 'reproduced      %s%s\n' "$1" "${3:+ ($3)}"
  else
    printf 'NOT reproduced  %s%s\n' "$1" "${3:+ ($3)}"
    failed=$((failed + 1))
  fi
}
while IFS= read -r f; do
  case $f in
  *.asc | */Release.gpg)
    data=${f%.asc}
    [ "$data" != "$f" ] || data=${f%.gpg}
    if signature_holds "$f" "$data"; then
      report "$f" yes "its signature holds over the rebuilt $(basename "$data")"
    else
      report "$f" no "its signature does not hold over the rebuilt $(basename "$data")"
    fi
    ;;
  *.sig | tessaryn-archive-keyring.gpg)
    # Inputs of the rebuild, taken as they are: the uninstaller's signature, the key.
    printf 'carried over    %s\n' "$f"
    ;;
  *)
    if [ ! -f "$rebuilt/$f" ]; then
      report "$f" no "the rebuild has no such file"
    elif cmp -s "$published/$f" "$rebuilt/$f"; then
      report "$f" yes
    else
      report "$f" no "$(cmp "$published/$f" "$rebuilt/$f" 2>&1 | sed 's/.*differ: //' | head -n 1)"
    fi
    ;;
  esac
done < <(cd "$published" && find . -type f -printf '%P\n' | LC_ALL=C sort)
while IFS= read -r f; do
  [ -f "$published/$f" ] || report "$f" no "the release lacks a file the rebuild makes"
done < <(cd "$rebuilt" && find . -type f -printf '%P\n' | LC_ALL=C sort)

if [ -n "$against" ]; then
  rm -rf "$work"
elif [ "$failed" -ne 0 ]; then
  echo "verify-release: the rebuild is kept in $work"
fi
if [ "$failed" -ne 0 ]; then
  echo "verify-release: $failed file(s) NOT reproduced"
  exit 1
fi
rm -rf "$work"
echo "verify-release: every file reproduced"
