#!/usr/bin/env bash
# Builds the two Windows Installer packages for fleet deployment from the builds that the
# setup program carries:
#
#   tools/package/package-msi.sh PACKAGE_DIR [VERSION [OUT_DIR]]
#
# makes OUT_DIR/tessaryn-VERSION-x64.msi from PACKAGE_DIR/64-bit and
# tessaryn-VERSION-x86.msi from PACKAGE_DIR/32-bit (OUT_DIR defaults to PACKAGE_DIR,
# VERSION to the project's). Each version and architecture has a ProductCode of its own,
# derived from them, so that a rebuild of one version is the same product again.
set -euo pipefail
cd "$(dirname "$0")/../.."

package=$(realpath "${1:?package directory}")
version=${2:-$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)}
out=$(realpath -m "${3:-$package}")
source=$PWD/installer/msi/tessaryn.wxs
upgrade_code=$(sed -n 's/.*UpgradeCode="\([0-9A-F-]*\)".*/\1/p' "$source")

# A name-based (version 5) UUID of NAME in the namespace of UUID $1: a fixed input
# gives a fixed GUID.
uuid_v5() {
  local hex
  hex=$(printf "$(tr -d - <<<"$1" | sed 's/../\\x&/g')%s" "$2" | sha1sum | cut -c1-32)
  hex=${hex:0:12}5${hex:13:3}$(printf %x $((0x${hex:16:1} & 0x3 | 0x8)))${hex:17:15}
  echo "${hex:0:8}-${hex:8:4}-${hex:12:4}-${hex:16:4}-${hex:20:12}" | tr a-f A-F
}

# The FILEVERSION of a Windows program's version resource, a.b.c.d: the two
# little-endian words after the signature and structure version of VS_FIXEDFILEINFO.
file_version() {
  local hex ms ls
  hex=$(wrestool -x --raw --type=16 "$1" | od -An -tx1 -v | tr -d ' \n' |
    grep -o 'bd04effe.\{24\}' | head -n 1)
  ms=${hex:16:8} ls=${hex:24:8}
  printf '%d.%d.%d.%d\n' "0x${ms:6:2}${ms:4:2}" "0x${ms:2:2}${ms:0:2}" \
    "0x${ls:6:2}${ls:4:2}" "0x${ls:2:2}${ls:0:2}"
}

# NOTE: wixl leaves the File table's versions empty, and Windows Installer then treats
# the programs as unversioned files, which never replace a versioned one already in the
# system folder (an older Tessaryn from the setup program): give each its own version.
set_file_versions() {
  local msi=$1 dir=$2 id file
  for id in tessaryn.scr:tessaryn.scr tessaryn_clock.exe:tessaryn-clock.exe; do
    file=${id#*:}
    msibuild "$msi" -q "UPDATE \`File\` SET \`Version\` = '$(file_version "$dir/$file")', \`Language\` = '1033' WHERE \`File\` = '${id%%:*}'"
  done
}

# Windows Installer compares a versioned file by its version and never by a hash, and
# Windows' validation (ICE60) rejects a hash of one: wixl hashes every file.
drop_hashes_of_versioned_files() {
  local msi=$1 id
  for id in $(msiinfo export "$msi" File | tail -n +4 | tr -d '\r' | awk -F'\t' '$5 != "" { print $1 }'); do
    msibuild "$msi" -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = '$id'"
  done
}

# A file or folder name is a short (8.3) name, or short|long: Windows Installer uses the
# short one where SHORTFILENAMES is set or the volume has no long names, and Windows'
# validation (ICE03) rejects a long name alone, which is all wixl writes.
give_short_names() {
  local msi=$1 table column key name base ext short
  local -A taken=()
  # A character a short name may hold.
  local c='[^][ .|/\\?<>:*"+,;=]'
  # Both names are the third column of their tables.
  for table in File:FileName Directory:DefaultDir; do
    column=${table#*:} table=${table%:*}
    while IFS=$'\t' read -r key name; do
      [[ $name == *[\|:]* || $name == . || $name == SourceDir ||
        $name =~ ^$c{1,8}(\.$c{1,3})?$ ]] && continue
      base=${name%.*} ext=${name##*.}
      [ "$base" = "$name" ] && ext=
      base=$(tr -cd 'A-Za-z0-9_-' <<<"$base" | tr '[:lower:]' '[:upper:]' | cut -c1-6)
      ext=$(tr -cd 'A-Za-z0-9_-' <<<"$ext" | tr '[:lower:]' '[:upper:]' | cut -c1-3)
      taken[$base.$ext]=$((${taken[$base.$ext]:-0} + 1))
      short=$base~${taken[$base.$ext]}${ext:+.$ext}
      msibuild "$msi" -q "UPDATE \`$table\` SET \`$column\` = '$short|$name' WHERE \`$table\` = '$key'"
    done < <(msiinfo export "$msi" "$table" | tail -n +4 | tr -d '\r' | cut -f1,3)
  done
}

# NOTE: wixl drops a feature's Absent="disallow": without it "Change" in Add/Remove
# Programs would offer to leave the saver out while keeping the package installed.
saver_cannot_be_left_out() {
  msibuild "$1" -q "UPDATE \`Feature\` SET \`Attributes\` = 16 WHERE \`Feature\` = 'Saver'"
}

# Reproducible: wixl gives each package a random package code and the time of the
# build. The package code is derived from what the package is built from instead (a
# package with other contents, or made by another version of this script, gets
# another), and the summary's created and saved times (FILETIMEs written while wixl
# ran, between the seconds FROM and TO) become SOURCE_DATE_EPOCH, in place: the compound
# file keeps no checksum over them.
derive_summary() {
  local msi=$1 dir=$2 from=$3 to=$4 hash summary t found=0
  hash=$({ cat "$dir"/* "$source" "$PWD/tools/package/package-msi.sh"; echo "$version"; } | sha256sum | cut -c1-64)
  summary=$(msiinfo suminfo "$msi")
  msibuild "$msi" -s "$(sed -n 's/^Subject: //p' <<<"$summary")" \
    "$(sed -n 's/^Author: //p' <<<"$summary")" "$(sed -n 's/^Template: //p' <<<"$summary")" \
    "{$(uuid_v5 "$upgrade_code" "package-$hash")}"
  [ -n "${SOURCE_DATE_EPOCH:-}" ] || return 0
  for t in $(seq "$from" "$to"); do
    for offset in $(LC_ALL=C grep -obUaP "$(filetime "$t")" "$msi" | cut -d: -f1); do
      printf "$(filetime "$SOURCE_DATE_EPOCH")" |
        dd of="$msi" bs=1 seek="$offset" conv=notrunc status=none
      found=$((found + 1))
    done
  done
  [ "$found" -ge 2 ] || { echo "package-msi: the summary's times not found in $msi" >&2; exit 1; }
}
# A time in seconds since 1970 as a little-endian FILETIME, its bytes as \xHH escapes.
filetime() {
  local hex
  hex=$(printf %016x $((($1 + 11644473600) * 10000000)))
  printf '\\x%s' "${hex:14:2}" "${hex:12:2}" "${hex:10:2}" "${hex:8:2}" "${hex:6:2}" \
    "${hex:4:2}" "${hex:2:2}" "${hex:0:2}"
}

# NOTE: wixl finds sources only by relative paths, so it runs in a folder that holds them.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp res/tessaryn.ico "$stage/"
mkdir -p "$out"
for arch in x64 x86; do
  bits=64-bit
  [ "$arch" = x86 ] && bits=32-bit
  mkdir -p "$stage/$arch"
  cp "$package/$bits/tessaryn.scr" "$package/$bits/tessaryn-clock.exe" "$stage/$arch/"
  # The cabinet keeps each file's time.
  [ -z "${SOURCE_DATE_EPOCH:-}" ] || touch -d "@$SOURCE_DATE_EPOCH" "$stage/$arch"/*
  from=$(date +%s)
  (cd "$stage" && wixl -a "$arch" -D "Arch=$arch" -D "Version=$version" \
    -D "ProductCode=$(uuid_v5 "$upgrade_code" "tessaryn-$version-$arch")" \
    -D "Bin=$arch" -D Icon=tessaryn.ico -o "$out/tessaryn-$version-$arch.msi" "$source")
  set_file_versions "$out/tessaryn-$version-$arch.msi" "$stage/$arch"
  drop_hashes_of_versioned_files "$out/tessaryn-$version-$arch.msi"
  give_short_names "$out/tessaryn-$version-$arch.msi"
  saver_cannot_be_left_out "$out/tessaryn-$version-$arch.msi"
  derive_summary "$out/tessaryn-$version-$arch.msi" "$stage/$arch" "$from" "$(date +%s)"
done
