#!/usr/bin/env bash
# The setup program as a user and an administrator meet it, under Wine:
#
#   tests/install/install_test.sh win32|win64 [PACKAGE_DIR]
#
# runs build/package/tessaryn-setup.exe (made by tools/package/package.sh) in a fresh Wine
# prefix of that bitness: silent install and uninstall, the uninstall entry, the active
# screensaver set and given back, the installed saver started from the system folder,
# its clock step installed beside it and removed with it,
# installing twice and removing once, and its refusal beside the Windows Installer
# package's Tessaryn. Exits non-zero when a check fails.
set -euo pipefail
cd "$(dirname "$0")/../.."

arch=${1:?win32 or win64}
package=$(realpath "${2:-build/package}")

if [ -z "${TESSARYN_WINE_SESSION:-}" ]; then
  prefix=build/install-$arch/wineprefix
  rm -rf "$prefix"
  export TESSARYN_WINEARCH=$arch
  exec tools/testbed/wine-run.sh --session --prefix "$prefix" bash "$0" "$arch" "$package"
fi

. tests/support/checks.sh
. tests/install/windows_checks.sh

# The manifest Windows reads from the setup program itself.
check "the setup program's manifest is what Windows accepts" \
  bash tests/binary/manifest-check.sh program i686-w64-mingw32-objdump \
  "$package/tessaryn-setup.exe" setup

uninstall_key="$uninstall_root\\Tessaryn"
desktop_key='HKCU\Control Panel\Desktop'

setup() { wine "$package/tessaryn-setup.exe" /S "$@"; }

# The uninstaller copies itself away and returns at once; wait until it has finished.
remove() {
  wine 'C:\Program Files\Tessaryn\uninstall.exe' /S
  for _ in $(seq 150); do
    if ! reg_key_exists "$uninstall_key" && [ ! -e "$WINEPREFIX/drive_c/Program Files/Tessaryn" ]; then
      return 0
    fi
    sleep 0.2
  done
  return 1
}

nothing_left() {
  no_file "$windows/system32/tessaryn.scr" && no_file "$windows/syswow64/tessaryn.scr" &&
    no_file "$windows/system32/tessaryn-clock.exe" && no_file "$windows/syswow64/tessaryn-clock.exe" &&
    ! reg_key_exists "$uninstall_key" && ! reg_key_exists 'HKCU\Software\Tessaryn' &&
    ! reg_key_exists 'HKCU\Software\TessarynSetup' &&
    no_file "$WINEPREFIX/drive_c/Program Files/Tessaryn"
}

if [ "$arch" = win64 ]; then
  build=$package/64-bit/tessaryn.scr
  clock=$package/64-bit/tessaryn-clock.exe
else
  build=$package/32-bit/tessaryn.scr
  clock=$package/32-bit/tessaryn-clock.exe
fi
previous='C:\windows\system32\previous.scr'

echo "== install, make active, start, install again, remove ($arch)"
asks_for_elevation() { grep -aq 'level="requireAdministrator"' "$package/tessaryn-setup.exe"; }
check "the setup program asks for an administrator" asks_for_elevation
reg_set "$desktop_key" SCRNSAVE.EXE "$previous"
reg_set "$desktop_key" ScreenSaveActive 0
setup /ACTIVATE
check "the build of this bitness is in system32" same_file "$build" "$windows/system32/tessaryn.scr"
check "its clock step beside it" same_file "$clock" "$windows/system32/tessaryn-clock.exe"
check "the installed clock step runs" installed_clock_step_runs
if [ "$arch" = win64 ]; then
  check "nothing in syswow64" no_file "$windows/syswow64/tessaryn.scr"
  check "no clock step in syswow64" no_file "$windows/syswow64/tessaryn-clock.exe"
fi
check "uninstall entry: name" value_is "$uninstall_key" DisplayName "Tessaryn analog clock screensaver"
check "uninstall entry: version" value_is "$uninstall_key" DisplayVersion \
  "$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
check "uninstall entry: publisher" value_is "$uninstall_key" Publisher Tessaryn
check "uninstall entry: icon" value_is "$uninstall_key" DisplayIcon 'C:\windows\System32\tessaryn.scr,0'
check "uninstall entry: command" value_is "$uninstall_key" UninstallString \
  '"C:\Program Files\Tessaryn\uninstall.exe"'
check "Tessaryn is the active screensaver" value_is "$desktop_key" SCRNSAVE.EXE 'C:\windows\System32\tessaryn.scr'
check "screensaver switched on" value_is "$desktop_key" ScreenSaveActive 1
check "the installed saver starts and draws" installed_saver_draws
setup /ACTIVATE
check "a second install still remembers the earlier screensaver" \
  value_is 'HKCU\Software\TessarynSetup' PreviousScreenSaver "$previous"
check "the uninstaller finishes" remove
check "the earlier screensaver is back" value_is "$desktop_key" SCRNSAVE.EXE "$previous"
check "and switched off as it was" value_is "$desktop_key" ScreenSaveActive 0
check "nothing left behind" nothing_left

echo "== silent install without /ACTIVATE leaves the active screensaver alone ($arch)"
reg_delete "$desktop_key" SCRNSAVE.EXE
setup
check "installed" same_file "$build" "$windows/system32/tessaryn.scr"
check "no screensaver made active" value_missing "$desktop_key" SCRNSAVE.EXE
check "the uninstaller finishes" remove
check "still no active screensaver" value_missing "$desktop_key" SCRNSAVE.EXE
check "nothing left behind" nothing_left

if [ "$arch" = win64 ]; then
  echo "== /32 over the 64-bit build: the 32-bit one into syswow64 ($arch)"
  setup /ACTIVATE
  setup /32
  check "32-bit build in syswow64" same_file "$package/32-bit/tessaryn.scr" "$windows/syswow64/tessaryn.scr"
  check "its clock step beside it" same_file "$package/32-bit/tessaryn-clock.exe" "$windows/syswow64/tessaryn-clock.exe"
  check "the 64-bit one gone from system32" no_file "$windows/system32/tessaryn.scr"
  check "and its clock step" no_file "$windows/system32/tessaryn-clock.exe"
  check "the active screensaver follows it" value_is "$desktop_key" SCRNSAVE.EXE 'C:\windows\SysWOW64\tessaryn.scr'
  check "the uninstaller finishes" remove
  check "no active screensaver, as before" value_missing "$desktop_key" SCRNSAVE.EXE
  check "nothing left behind" nothing_left
fi

echo "== refused beside the Windows Installer package's Tessaryn ($arch)"
msi_arch=x86
[ "$arch" = win64 ] && msi_arch=x64
msi=$(echo "$package"/tessaryn-*-"$msi_arch".msi)
product=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }')
wine msiexec /i "$(winepath -w "$msi")" /qn >/dev/null 2>&1
code=0
setup || code=$?
check "the setup program refuses (1638)" exit_code_is "$code" 1638
check "saying to remove it with msiexec" refusal_says "msiexec /x $product" wine "$package/tessaryn-setup.exe"
setup_left_nothing() { ! reg_key_exists "$uninstall_key" && no_file "$WINEPREFIX/drive_c/Program Files/Tessaryn"; }
check "and installs nothing of its own" setup_left_nothing
check "the package's saver stays" same_file "$build" "$windows/system32/tessaryn.scr"
wine msiexec /x "$product" /qn >/dev/null 2>&1
check "which msiexec removes" no_file "$windows/system32/tessaryn.scr"

if [ "$failures" -ne 0 ]; then
  echo "install tests ($arch): $failures FAILED"
  exit 1
fi
echo "install tests ($arch): all passed"
