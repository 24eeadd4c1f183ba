#!/usr/bin/env bash
# How an installed Tessaryn reaches the next version, through a signed apt repository
# as tools/package/apt-repo.sh makes it (a file: URI), with a deb822 .sources and Signed-By:
#
#   tests/linux/apt_update_test.sh [PACKAGE_DIR]
#
# apt installs version N of build/package/tessaryn_*.deb from the repository; N+1,
# released into the same repository, is offered and installed by apt-get upgrade; a
# repository signed by another key is refused, and so is one whose Packages changed
# after it was signed. apt runs with lists, caches and sources of its own, so the
# machine's apt configuration is left alone; the package itself is installed for real
# and purged at the end, as in the package tier. Needs root (or sudo).
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/linux/lib.sh
. tests/support/checks.sh
. tests/release/throwaway_keys.sh

find_package_deb "${1:-}"

# apt reads the repository as its own user: everything here is readable by all.
work=$(mktemp -d /tmp/tessaryn-apt-test.XXXXXX)
chmod 755 "$work"
cleanup() {
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tessaryn >/dev/null 2>&1 || true
  drop_throwaway_keys
  rm -rf "$work"
}
trap cleanup EXIT

export GNUPGHOME=$work/gnupg
mkdir -m 700 "$GNUPGHOME"
release_key=$(make_throwaway_openpgp_key "Tessaryn release <release@tessaryn.invalid>")
other_key=$(make_throwaway_openpgp_key "Someone else <other@tessaryn.invalid>")
keyring=$work/tessaryn-archive-keyring.gpg
gpg --batch --export "$release_key" >"$keyring" 2>/dev/null
chmod 644 "$keyring"

# The package again as VERSION $2, written to $3: a later release of the same hack.
deb_as_version() {
  local tree=$work/repack
  rm -rf "$tree"
  dpkg-deb -R "$1" "$tree"
  sed -i "s/^Version: .*/Version: $2/" "$tree/DEBIAN/control"
  dpkg-deb --root-owner-group -b "$tree" "$3" >/dev/null
}
n=$(dpkg-deb -f "$deb" Version)
upstream=${n%%-*}
n1=${upstream%.*}.$((${upstream##*.} + 1))-1
n2=${upstream%.*}.$((${upstream##*.} + 2))-1
cp "$deb" "$work/tessaryn_${n}_amd64.deb"
deb_as_version "$deb" "$n1" "$work/tessaryn_${n1}_amd64.deb"
deb_as_version "$deb" "$n2" "$work/tessaryn_${n2}_amd64.deb"

# REPO signed by KEY with DEBs.
publish() {
  local repo=$1 key=$2
  shift 2
  TESSARYN_GPG_KEY=$key bash tools/package/apt-repo.sh "$repo" "$@"
  chmod -R a+rX "$repo"
}

# apt, as a user configured by the release's tessaryn.sources, against repository $1,
# with state of its own in $work/apt-NAME ($2).
apt_as_user() {
  local repo=$1 state=$work/apt-$2
  shift 2
  mkdir -p "$state/sources.list.d" "$state/lists/partial" "$state/cache/archives/partial"
  touch "$state/sources.list"
  printf 'Types: deb\nURIs: file:%s\nSuites: stable\nComponents: main\nSigned-By: %s\n' \
    "$repo" "$keyring" >"$state/sources.list.d/tessaryn.sources"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q \
    -o Dir::Etc::SourceList="$state/sources.list" -o Dir::Etc::SourceParts="$state/sources.list.d" \
    -o Dir::State::Lists="$state/lists" -o Dir::Cache="$state/cache" \
    -o Acquire::Languages=none -o APT::Get::List-Cleanup=false "$@"
}
installed_version() { dpkg-query -W -f='${Version}' tessaryn 2>/dev/null; }
# Whether apt, after `apt-get update` on repository $1 (state $2), would install $3.
candidate_is() {
  apt_as_user "$1" "$2" install -s --no-install-recommends tessaryn 2>/dev/null |
    grep -q "^Inst tessaryn .*($3 "
}

quiet() { "$@" >/dev/null 2>&1; }
upgrade_offered() {
  apt_as_user "$work/repo" user -s upgrade 2>/dev/null | grep -q "^Inst tessaryn \[$n\] ($n1 "
}
# apt-get update on repository $1 (state of its own): accepted, with $n2 offered, when
# $2 is "accepted"; else refused with message $2, and $n2 not offered.
update_outcome() {
  local status=0 output
  output=$(apt_as_user "$work/$1" "$1" update 2>&1) || status=$?
  if [ "$2" = accepted ]; then
    [ "$status" -eq 0 ] && ! grep -q "^[EW]:" <<<"$output" && candidate_is "$work/$1" "$1" "$n2"
  else
    [ "$status" -ne 0 ] && grep -q "$2" <<<"$output" && ! candidate_is "$work/$1" "$1" "$n2"
  fi
}

echo "== install version $n from the repository"
publish "$work/repo" "$release_key" "$work/tessaryn_${n}_amd64.deb"
check "apt-get update accepts the signed repository" quiet apt_as_user "$work/repo" user update
check "apt-get install installs $n" \
  quiet apt_as_user "$work/repo" user install -y --no-install-recommends tessaryn
check "dpkg has $n installed" test "$(installed_version)" = "$n"

echo "== release $n1 into the same repository"
publish "$work/repo" "$release_key" "$work/tessaryn_${n1}_amd64.deb"
quiet apt_as_user "$work/repo" user update || true
check "apt offers $n1 as an upgrade" upgrade_offered
quiet apt_as_user "$work/repo" user upgrade -y || true
check "apt-get upgrade installs $n1" test "$(installed_version)" = "$n1"

echo "== repositories apt must refuse (controls beside)"
# Two copies of the next release: one signed by another key, one with Packages changed
# after signing; and an intact one, which shows that $n2 would be taken.
publish "$work/intact" "$release_key" "$work/tessaryn_${n2}_amd64.deb"
publish "$work/other-key" "$other_key" "$work/tessaryn_${n2}_amd64.deb"
publish "$work/changed" "$release_key" "$work/tessaryn_${n2}_amd64.deb"
packages=$work/changed/dists/stable/main/binary-amd64/Packages
sed -i 's/^Priority: .*/Priority: required/' "$packages"
gzip -9nc "$packages" >"$packages.gz"
while read -r repo expect; do
  check "$repo: apt-get update: $expect" update_outcome "$repo" "$expect"
done <<'TABLE'
intact accepted
other-key NO_PUBKEY
changed Hash Sum mismatch
TABLE

echo "apt update test: $failures failure(s)"
[ "$failures" -eq 0 ]
