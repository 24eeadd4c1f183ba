#!/usr/bin/env bash
# The Debian package as a Linux user meets it:
#
#   tests/linux/package_test.sh [PACKAGE_DIR]
#
# checks build/package/tessaryn_*.deb and the source package beside it (made by
# tools/package/package-deb.sh, from a clean copy of the source) with lintian, installs
# it with apt-get, finds the hack and its XML where XScreenSaver keeps its own, checks
# that every setting the XML offers is an option the installed hack takes, checks the
# entry MATE's screensaver reads, runs the XScreenSaver daemon test (with a user's own
# path through tessaryn-enable) on the installed package, then purges the package and checks
# that nothing of it is left. Needs root (or sudo): it installs and removes a package.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/linux/lib.sh

find_package_deb "${1:-}"

# Lintian reads the packages while the checks below run on the installed one: it only
# has to finish before the daemon test, which wants a quiet machine.
lintian_dir=$(mktemp -d)
dscs=("$package"/tessaryn_*.dsc)
lintian --display-info --fail-on error "$deb" >"$lintian_dir/deb" 2>/dev/null &
deb_lintian=$!
lintian --display-info --fail-on error,warning "${dscs[0]}" >"$lintian_dir/source" 2>/dev/null &
source_lintian=$!
lintian_checks() {
  local status=0 tags
  wait "$deb_lintian" || status=$?
  deb_lintian=
  echo "lintian $(basename "$deb")"
  tags=$(cat "$lintian_dir/deb")
  [ -z "$tags" ] || echo "$tags" | sed 's/^/    /'
  check "lintian ran and reports no error" \
    bash -c '[ "$0" -eq 0 ] && ! grep -q "^E:" <<<"$1"' "$status" "$tags"
  status=0
  wait "$source_lintian" || status=$?
  source_lintian=
  echo "lintian $(basename "${dscs[0]}")"
  tags=$(cat "$lintian_dir/source")
  [ -z "$tags" ] || echo "$tags" | sed 's/^/    /'
  check "lintian ran on the source package and reports no error or warning" \
    bash -c '[ "$0" -eq 0 ] && ! grep -q "^[EW]:" <<<"$1"' "$status" "$tags"
}
# Ended (unless waited for: its number may be another process's by then) and cleared on
# every path, with the package.
end_lintian() {
  local pid
  for pid in "$deb_lintian" "$source_lintian"; do
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  done
  rm -rf "$lintian_dir"
}
control() { dpkg-deb -f "$deb" "$1"; }
check "it recommends xscreensaver or mate-screensaver" \
  test "$(control Recommends)" = "xscreensaver | mate-screensaver"
check "it depends on the caption's font, fonts-liberation" \
  bash -c 'grep -qw fonts-liberation <<<"$0"' "$(control Depends)"

# Purged on every path, so a failed check leaves the machine as it found it.
purged=no
purge() {
  [ "$purged" = no ] || return 0
  purged=yes
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tessaryn \
    >/dev/null 2>&1
}
trap 'end_lintian; purge' EXIT

apt_log=$(mktemp)
if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" \
  >"$apt_log" 2>&1; then
  cat "$apt_log"
  exit 1
fi
rm -f "$apt_log"
mapfile -t files < <(dpkg -L tessaryn | while read -r f; do [ -d "$f" ] || echo "$f"; done)

# XScreenSaver's own folders, from where its packages put their files.
hack_dir=$(dirname "$(dpkg -L xscreensaver | grep -m1 '/xscreensaver-gfx$')")
config_dir=$(dirname "$(dpkg -L xscreensaver-data | grep -m1 '\.xml$')")
hack=$hack_dir/tessaryn
xml=$config_dir/tessaryn.xml
echo "installed: ${files[*]}"
listed() { printf '%s\n' "${files[@]}" | grep -qx "$1"; }
check "the hack is in XScreenSaver's hack folder ($hack_dir)" listed "$hack"
check "the hack is executable" test -x "$hack"
check "the hack is stripped" bash -c '! readelf -S "$0" | grep -q "\.symtab\|\.debug_"' "$hack"
check "every library the hack needs is found" bash -c '! ldd "$0" | grep -q "not found"' "$hack"
check "the XML is in XScreenSaver's config folder ($config_dir)" listed "$xml"
check "the XML is well-formed" xmllint --noout "$xml"
check "the man page is installed and found" bash -c \
  '[ "$(man -w 6 tessaryn)" = /usr/share/man/man6/tessaryn.6.gz ]'
check "tessaryn-enable is on the PATH" test "$(command -v tessaryn-enable)" = /usr/bin/tessaryn-enable
check "its man page is installed and found" bash -c \
  '[ "$(man -w 1 tessaryn-enable)" = /usr/share/man/man1/tessaryn-enable.1.gz ]'
check "the caption's face is there: bold Liberation Mono" bash -c \
  'fc-match "Liberation Mono:bold" family style | grep -qx "Liberation Mono:style=Bold"'
check "the copyright file is installed" listed /usr/share/doc/tessaryn/copyright
check "the changelog is installed, compressed" listed /usr/share/doc/tessaryn/changelog.Debian.gz
check "README.Debian is installed and names light-locker" bash -c \
  'zgrep -q light-locker "$0" 2>/dev/null || grep -q light-locker "${0%.gz}"' \
  /usr/share/doc/tessaryn/README.Debian.gz

# The settings dialog shows the Windows settings window's sliders and builds the hack's
# command line from the XML, leaving out a slider that stands at its default: each
# slider must match that window's range and the saver's first-start value, and the
# hack must take its option at both ends and refuse one step past either (status 2).
xpath() { xmllint --xpath "$1" "$xml"; }
exit_status() { "$@" </dev/null >/dev/null 2>&1 && echo 0 || echo $?; }
takes() { [ "$(exit_status "$hack" "$@" -help)" = 0 ]; }
refuses() { [ "$(exit_status "$hack" "$@" -help)" = 2 ]; }
takes_both() { takes "$1" "$2" && takes "$1" "$3"; }
refuses_both() { refuses "$1" "$2" && refuses "$1" "$3"; }
check "the XML offers six sliders" test "$(xpath 'count(//number)')" = 6
while read -r label option low high default; do
  label=${label//_/ }
  slider="//number[@_label='$label']"
  check "\"$label\" is $option % from $low to $high, default $default" test \
    "$(xpath "concat($slider/@arg,' ',$slider/@low,' ',$slider/@high,' ',$slider/@default)")" \
    = "$option % $low $high $default"
  check "\"$label\": the hack takes $option $low and $high" takes_both "$option" "$low" "$high"
  check "\"$label\": the hack refuses $option $((low - 1)) and $((high + 1))" \
    refuses_both "$option" "$((low - 1))" "$((high + 1))"
done <<'TABLE'
Arrows        -hands      1 10 1
Arrows_Color  -hand-color 1 10 5
Digital_Size  -sizes      5 15 10
Dial          -dial       0 10 7
Dial_Color    -dial-color 1 10 1
Brightness    -brightness 0 10 9
TABLE
for i in $(seq "$(xpath 'count(//boolean)')"); do
  option=$(xpath "string(//boolean[$i]/@arg-set)")
  label=$(xpath "string(//boolean[$i]/@_label)")
  check "\"$label\" ($option) is taken" takes "$option"
done
check "the command the XML starts from ($(xpath 'string(//command/@arg)')) is taken" \
  takes "$(xpath 'string(//command/@arg)')"

# MATE's screensaver lists the .desktop files of this folder that show in MATE and
# starts their Exec with the window to draw in, as it does xscreensaver-gl's hacks.
desktop=/usr/share/applications/screensavers/tessaryn.desktop
key() { sed -n "s/^$1=//p" "$desktop"; }
check "MATE's entry is installed ($desktop)" listed "$desktop"
check "desktop-file-validate finds no error or warning in it" \
  bash -c '! desktop-file-validate "$0" | grep -q "error:\|warning:"' "$desktop"
check "it is a screensaver shown in MATE" \
  test "$(key Type) $(key Categories) $(key OnlyShowIn)" = "Application Screensaver; MATE;"
check "it runs the installed hack on the root: $(key Exec)" \
  test "$(key Exec) $(key TryExec)" = "$hack --root $hack"
check "it is named Tessaryn" test "$(key Name)" = Tessaryn

check "the installed tessaryn-enable keeps to its paths as a user" \
  bash tests/linux/enable_test.sh /usr/bin/tessaryn-enable

lintian_checks

if [ "${TESSARYN_SKIP_DAEMON:-}" != 1 ]; then
  check "the XScreenSaver daemon runs the installed hack" \
    bash tests/linux/xscreensaver_daemon_test.sh
fi

purge
check "the package is gone after purge" bash -c \
  '! dpkg-query -W -f="\${Status}" tessaryn 2>/dev/null | grep -q installed'
left=()
for f in "${files[@]}" /usr/share/doc/tessaryn; do
  [ ! -e "$f" ] || left+=("$f")
done
check "purge leaves none of its files (left: ${left[*]:-none})" test ${#left[@]} -eq 0

[ "$failures" -eq 0 ] || { echo "$failures check(s) FAILED"; exit 1; }
echo "all checks passed"
