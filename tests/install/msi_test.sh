#!/usr/bin/env bash
# The Windows Installer packages as an administrator deploys them, under Wine:
#
#   tests/install/msi_test.sh win32|win64 [PACKAGE_DIR]
#
# takes the package of that bitness from PACKAGE_DIR (default build/package, made by
# tools/package/package.sh) and checks its tables with msitools, then, in a fresh Wine prefix of
# that bitness, installs it silently with msiexec: the files in the system folder, the
# saver drawing from there, the Add/Remove Programs entry, installing twice, an upgrade
# to a newer package built here, a repair, an older one refused, removal by product
# code, ADDLOCAL=Saver leaving the clock step out (and the settings window's button
# disabled), the package refused before Windows 7 SP1, and the package of the other
# bitness refused. Exits non-zero when a check fails.
set -euo pipefail
cd "$(dirname "$0")/../.."

arch=${1:?win32 or win64}
package=$(realpath "${2:-build/package}")

if [ -z "${TESSARYN_WINE_SESSION:-}" ]; then
  work=build/msi-$arch
  rm -rf "$work"
  mkdir -p "$work"
  export TESSARYN_WINEARCH=$arch
  exec tools/testbed/wine-run.sh --session --prefix "$work/wineprefix" bash "$0" "$arch" "$package"
fi

. tests/support/checks.sh
. tests/install/windows_checks.sh

work=$(realpath "build/msi-$arch")
version=$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
newer=${version%.*}.$((${version##*.} + 1))
name='Tessaryn analog clock screensaver'
# Tessaryn's for ever: a package with another one would not replace the ones out there.
upgrade_code='{AF0AB21B-82A3-4F07-A62A-726D493A63AB}'

if [ "$arch" = win64 ]; then
  msi_arch=x64 other_arch=x86 bits=64-bit
else
  msi_arch=x86 other_arch=x64 bits=32-bit
fi
msi=$package/tessaryn-$version-$msi_arch.msi
other_msi=$package/tessaryn-$version-$other_arch.msi
build=$package/$bits

# --- The tables -------------------------------------------------------------------

# Rows of table $2 of package $1 without its three header lines, tab-separated.
table() { msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r'; }
property() { table "$1" Property | awk -F'\t' -v p="$2" '$1 == p { print $2 }'; }

# The rules of Windows' own package validation (ICE), read from its documentation and
# checked on the built package: each names the ICE it stands for.

# ICE03, the Filename type: a short (8.3) name, or short|long; neither holds \ / ? | > <
# : * ", and a short one no space, + , ; = [ ] either.
short_char='[^][ .|/\\?<>:*"+,;=]'
long_char='[^/\\?|<>:*"]'
is_filename() {
  [[ $1 =~ ^($short_char{1,8}(\.$short_char{1,3})?)(\|$long_char+)?$ ]]
}
# Every file's name, and every folder's (DefaultDir: target[:source], "." for the
# parent's own, SourceDir for the root).
every_name_has_a_short_one() {
  local name part
  while read -r name; do is_filename "$name" || return 1; done < <(table "$msi" File | cut -f3)
  while read -r name; do
    for part in ${name//:/ }; do
      [[ $part == . || $part == SourceDir ]] || is_filename "$part" || return 1
    done
  done < <(table "$msi" Directory | cut -f3)
}
# ICE60: a versioned file (not a font) has a language, and no hash: Windows Installer
# compares versioned files by version.
versioned_files_have_a_language() {
  ! table "$msi" File | awk -F'\t' '$5 != "" && $6 == ""' | grep -q .
}
no_hash_of_a_versioned_file() {
  ! grep -qxFf <(table "$msi" File | awk -F'\t' '$5 != "" { print $1 }') \
    <(table "$msi" MsiFileHash | cut -f1)
}
# ICE61: each upgrade's property is public, secured, set by no Property row and its own;
# no row removes this version or a newer one (VersionMax at most this version, exclusive).
upgrades_are_sound() {
  table "$msi" Upgrade | awk -F'\t' -v v="$(property "$msi" ProductVersion)" \
    -v secure=";$(property "$msi" SecureCustomProperties);" \
    -v authored=";$(table "$msi" Property | cut -f1 | tr '\n' ';')" '
    function cmp(a, b,   x, y, i) { split(a, x, "."); split(b, y, ".")
      for (i = 1; i <= 3; i++) if (x[i] + 0 != y[i] + 0) return x[i] + 0 < y[i] + 0 ? -1 : 1
      return 0 }
    { n++ }
    $7 != toupper($7) || !index(secure, ";" $7 ";") || index(authored, ";" $7 ";") || seen[$7]++ { bad++ }
    int($5 / 2) % 2 == 0 && ($3 == "" || cmp($3, v) > 0 || (cmp($3, v) == 0 && int($5 / 512) % 2 == 1)) { bad++ }
    END { exit !(n > 0 && bad == 0) }'
}
# ICE80: the platform in the summary matches what the package holds: 64-bit components
# or registry searches (x64) or none (Intel), and the ProductLanguage among its languages.
platform_matches_the_contents() {
  local template sixty_four
  template=$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')
  sixty_four=$({
    table "$msi" Component | awk -F'\t' 'int($4 / 256) % 2 == 1'
    table "$msi" RegLocator | awk -F'\t' 'int($5 / 16) % 2 == 1'
  } | grep -c . || true)
  [[ ";${template#*;};" == *";$(property "$msi" ProductLanguage);"* ]] || return 1
  if [ "$msi_arch" = x64 ]; then
    [ "${template%%;*}" = x64 ] && [ "$sixty_four" -gt 0 ]
  else
    [ "${template%%;*}" = Intel ] && [ "$sixty_four" -eq 0 ]
  fi
}
# The saver, and within it the clock step, a feature of its own that is on unless left out.
# The saver may not be left out (msidbFeatureAttributesUIDisallowAbsent, 16).
two_features() {
  table "$msi" Feature | awk -F'\t' '
    $1 == "Saver" && $2 == "" && $6 == 1 && int($8 / 16) % 2 == 1 { saver++ }
    $1 == "ClockStep" && $2 == "Saver" && $6 == 1 { step++ }
    { n++ } END { exit !(n == 2 && saver == 1 && step == 1) }' &&
    table "$msi" FeatureComponents | sort | tr '\t' ' ' | paste -sd, | grep -qx 'ClockStep ClockStep,Saver Saver'
}
carries_the_builds() {
  rm -rf "$work/extracted" && msiextract -C "$work/extracted" "$msi" >/dev/null &&
    cmp -s "$build/tessaryn.scr" "$(find "$work/extracted" -name tessaryn.scr)" &&
    cmp -s "$build/tessaryn-clock.exe" "$(find "$work/extracted" -name tessaryn-clock.exe)"
}
carries_the_icon() {
  msiinfo extract "$msi" Icon.tessaryn.ico | cmp -s - res/tessaryn.ico &&
    [ "$(property "$msi" ARPPRODUCTICON)" = tessaryn.ico ]
}
product_code() { property "$1" ProductCode; }
codes_of_their_own() {
  [ "$(product_code "$msi")" != "$(product_code "$other_msi")" ] &&
    [ "$(property "$other_msi" UpgradeCode)" = "$upgrade_code" ]
}

echo "== tessaryn-$version-$msi_arch.msi against Windows' validation rules"
check "ICE03: every file and folder name has its short (8.3) name" every_name_has_a_short_one
check "ICE60: every versioned file has a language" versioned_files_have_a_language
check "ICE60: no versioned file is hashed" no_hash_of_a_versioned_file
check "ICE61: upgrades remove only older versions, by secured public properties" upgrades_are_sound
check "ICE80: the summary's platform matches its components and searches" platform_matches_the_contents
echo "== what it carries"
check "features Saver and, within it, ClockStep (on by default)" two_features
check "the UpgradeCode Tessaryn keeps for ever" [ "$(property "$msi" UpgradeCode)" = "$upgrade_code" ]
check "its ProductCode is its own, the UpgradeCode shared" codes_of_their_own
check "this bitness's builds, byte for byte" carries_the_builds
check "the icon for Add/Remove Programs" carries_the_icon

# --- Under Wine -------------------------------------------------------------------

# Runs msiexec silently with a verbose log of its own, kept for a failure's reader; its
# exit code in $code.
runs=0
msiexec() {
  runs=$((runs + 1))
  log=$work/msiexec-$runs.log
  code=0
  wine msiexec "$@" /qn /l*v "$(winepath -w "$log")" >/dev/null 2>&1 || code=$?
}

# Whether msiexec shows text $2 when it refuses package $1, with the basic UI.
msi_refusal_says() { refusal_says "$2" wine msiexec /i "$(winepath -w "$1")" /qb; }

no_key() { ! reg_key_exists "$1"; }
entry_key() { echo "$uninstall_root\\$(product_code "$1")"; }
one_entry_of() {
  [ "$(entries_named "$name")" -eq 1 ] && value_is "$(entry_key "$1")" DisplayVersion "$2"
}
installed() {
  same_file "$build/tessaryn.scr" "$windows/system32/tessaryn.scr" &&
    same_file "$build/tessaryn-clock.exe" "$windows/system32/tessaryn-clock.exe"
}
nothing_left() {
  no_file "$windows/system32/tessaryn.scr" && no_file "$windows/syswow64/tessaryn.scr" &&
    no_file "$windows/system32/tessaryn-clock.exe" && no_file "$windows/syswow64/tessaryn-clock.exe" &&
    [ "$(entries_named "$name")" -eq 0 ]
}

# A copy of program $1 at $2 whose version resource says 0.9.0.0: an older Tessaryn.
older_copy() {
  local at
  at=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$1" | head -n 1 | cut -d: -f1)
  cp "$1" "$2"
  printf '\x00\x00\x00\x00\x09\x00\x00\x00' | dd of="$2" bs=1 seek=$((at + 8)) conv=notrunc status=none
}
versions_of_the_build() {
  table "$msi" File | awk -F'\t' -v v="$version.0" '{ n++ } $5 == v { ok++ } END { exit !(n == 2 && ok == 2) }'
}

echo "== silent install over an older copy, again, upgrade, downgrade refused, removal ($arch)"
check "the File table gives the programs their version" versions_of_the_build
older_copy "$build/tessaryn.scr" "$windows/system32/tessaryn.scr"
older_copy "$build/tessaryn-clock.exe" "$windows/system32/tessaryn-clock.exe"
msiexec /i "$(winepath -w "$msi")"
check "msiexec /i /qn succeeds" exit_code_is "$code" 0
check "both files in system32, identical to the build's, over older ones" installed
if [ "$arch" = win64 ]; then
  check "nothing in syswow64" no_file "$windows/syswow64/tessaryn.scr"
fi
entry=$(entry_key "$msi")
check "uninstall entry: name" value_is "$entry" DisplayName "$name"
check "uninstall entry: version" value_is "$entry" DisplayVersion "$version"
check "uninstall entry: publisher" value_is "$entry" Publisher Tessaryn
check "uninstall entry: removal by product code" value_is "$entry" UninstallString \
  "MsiExec.exe /X$(product_code "$msi")"
check "the installed saver starts and draws" installed_saver_draws
check "the installed clock step runs" installed_clock_step_runs

msiexec /i "$(winepath -w "$msi")"
check "installing the same package again succeeds" exit_code_is "$code" 0
check "and leaves one entry" one_entry_of "$msi" "$version"
check "and the files" installed

# A rebuild differs only in its package code: the same product, which Windows Installer
# either finds installed or refuses (1638) without touching it.
bash tools/package/package-msi.sh "$package" "$version" "$work/rebuilt" >/dev/null
rebuilt_msi=$work/rebuilt/tessaryn-$version-$msi_arch.msi
check "a rebuild of $version is the same product" \
  [ "$(product_code "$rebuilt_msi")" = "$(product_code "$msi")" ]
msiexec /i "$(winepath -w "$rebuilt_msi")"
found_or_refused() { exit_code_is "$code" 0 || exit_code_is "$code" 1638; }
check "installing it does no harm" found_or_refused
check "and leaves one entry" one_entry_of "$msi" "$version"
check "and the files" installed

bash tools/package/package-msi.sh "$package" "$newer" "$work" >/dev/null
newer_msi=$work/tessaryn-$newer-$msi_arch.msi
msiexec /i "$(winepath -w "$newer_msi")"
check "$newer over $version succeeds" exit_code_is "$code" 0
check "with a ProductCode of its own" [ "$(product_code "$newer_msi")" != "$(product_code "$msi")" ]
check "and leaves one entry, $newer's" one_entry_of "$newer_msi" "$newer"
check "$version's entry is gone" no_key "$entry"
check "the files stay installed" installed

# NOTE: Wine's msiexec does not take /f (repair) and its product code; the properties
# that /f stands for do the same.
rm "$windows/system32/tessaryn.scr"
msiexec /i "$(winepath -w "$newer_msi")" REINSTALL=ALL REINSTALLMODE=omus
check "a repair puts back a deleted saver" installed

msiexec /i "$(winepath -w "$msi")"
check "$version over $newer is refused (1603)" exit_code_is "$code" 1603
check "saying why" msi_refusal_says "$msi" \
  "A newer version of Tessaryn is already installed. Remove it first to install $version."
check "and leaves $newer's entry alone" one_entry_of "$newer_msi" "$newer"
check "and the files" installed

msiexec /x "$(product_code "$newer_msi")"
check "msiexec /x PRODUCTCODE /qn succeeds" exit_code_is "$code" 0
check "nothing left behind" nothing_left
msiexec /x "$(product_code "$newer_msi")"
check "removing it again: unknown product (1605)" exit_code_is "$code" 1605

echo "== refused beside the setup program's Tessaryn, which the README's command removes ($arch)"
setup_dir='C:\Program Files\Tessaryn'
wine "$package/tessaryn-setup.exe" /S
msiexec /i "$(winepath -w "$msi")"
check "refused (1603)" exit_code_is "$code" 1603
check "giving the command that removes the setup program's" msi_refusal_says "$msi" \
  "installed Tessaryn in $setup_dir. Remove it first: \"$setup_dir\\uninstall.exe\" /S _?=$setup_dir then delete that folder."
check "and installing nothing of its own" no_key "$entry"
# The README's lines, as a 32-bit deployment agent runs them on 64-bit Windows; 32-bit
# Windows has %ProgramFiles% only, as the README says.
# NOTE: that `_?=` makes the uninstaller run in place and return once done is NSIS's
# documented behaviour; Wine's start waits for the copy the plain /S runs, too, so
# here both return after the removal.
agent='C:\windows\system32\cmd.exe'
[ "$arch" = win64 ] && agent='C:\windows\syswow64\cmd.exe'
sed -n '/^```bat$/,/^```$/p' README.md | sed '1d;$d' | sed 's/$/\r/' >"$WINEPREFIX/drive_c/remove-setup.bat"
if [ "$arch" = win32 ]; then sed -i 's/%ProgramW6432%/%ProgramFiles%/g' "$WINEPREFIX/drive_c/remove-setup.bat"; fi
wine "$agent" /c 'C:\remove-setup.bat' >/dev/null 2>&1
check "the README's lines remove it" no_key "$uninstall_root\\Tessaryn"
check "with its folder" no_file "$WINEPREFIX/drive_c/Program Files/Tessaryn"
msiexec /i "$(winepath -w "$msi")"
check "then the package installs" exit_code_is "$code" 0
check "its files" installed
msiexec /x "$(product_code "$msi")"
check "and is removed again" nothing_left

echo "== ADDLOCAL=Saver: the saver without its clock step ($arch)"
# The settings window of the installed saver, started as the display dialog starts it:
# its "Clock synchronization" stands disabled (0), or not (1).
sync_button_state() {
  local probe pid state=0
  probe=$(winepath -w "$PWD/build/$arch/tests/e2e/button_state.exe")
  "$native_wine" 'C:\windows\system32\tessaryn.scr' /c &
  pid=$!
  "$native_wine" "$probe" "Tessaryn Settings" "Clock synchronization" || state=$?
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "    the button's state: $state (0 disabled, 1 enabled, 2 not found)"
  [ "$state" -eq "$1" ]
}
msiexec /i "$(winepath -w "$msi")" ADDLOCAL=Saver
check "msiexec /i ADDLOCAL=Saver succeeds" exit_code_is "$code" 0
check "the saver is installed" same_file "$build/tessaryn.scr" "$windows/system32/tessaryn.scr"
check "and no clock step" no_file "$windows/system32/tessaryn-clock.exe"
check "its settings window's Clock synchronization stands disabled" sync_button_state 0
msiexec /x "$(product_code "$msi")"
check "and it is removed" nothing_left
msiexec /i "$(winepath -w "$msi")"
check "a default install has its clock step" installed
check "and the button is enabled" sync_button_state 1
msiexec /x "$(product_code "$msi")"
check "and it is removed" nothing_left

echo "== refused before Windows 7 SP1 ($arch)"
# NOTE: Wine takes the Windows version it reports from this value at each program's start.
wine reg add 'HKCU\Software\Wine' /v Version /d vista /f >/dev/null 2>&1
msiexec /i "$(winepath -w "$msi")"
check "on Windows Vista (1603)" exit_code_is "$code" 1603
check "saying what it needs" msi_refusal_says "$msi" "Tessaryn needs Windows 7 with Service Pack 1"
check "nothing installed" nothing_left
wine reg add 'HKCU\Software\Wine' /v Version /d win7 /f >/dev/null 2>&1
msiexec /i "$(winepath -w "$msi")"
check "but installs on Windows 7 SP1" exit_code_is "$code" 0
msiexec /x "$(product_code "$msi")"
check "and is removed again" nothing_left
wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1

echo "== tessaryn-$version-$other_arch.msi refused on $arch"
msiexec /i "$(winepath -w "$other_msi")"
if [ "$arch" = win64 ]; then
  check "refused (1603)" exit_code_is "$code" 1603
  check "by the launch condition that names the x64 package" msi_refusal_says "$other_msi" \
    "This package is for 32-bit Windows. On 64-bit Windows install tessaryn-$version-x64.msi"
else
  # Windows Installer's own refusal by the package's platform.
  check "refused as unsupported by this processor (1633)" exit_code_is "$code" 1633
fi
check "nothing installed" nothing_left

if [ "$failures" -ne 0 ]; then
  echo "msi tests ($arch): $failures FAILED"
  exit 1
fi
echo "msi tests ($arch): all passed"
