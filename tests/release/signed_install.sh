#!/usr/bin/env bash
# Inside a 32-bit Wine session (tests/release/release_test.sh): the signed package and
# the signed setup program install the signed programs, which still run.
#   tests/release/signed_install.sh RELEASE PROGRAMS CA
set -euo pipefail
cd "$(dirname "$0")/../.."
release=$1 programs=$2 ca=$3
arch=win32
. tests/support/checks.sh
. tests/install/windows_checks.sh
version=$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
msi=$release/tessaryn-$version-x86.msi
system=$windows/system32

signed_programs_installed() {
  same_file "$programs/32-bit/tessaryn.scr" "$system/tessaryn.scr" &&
    same_file "$programs/32-bit/tessaryn-clock.exe" "$system/tessaryn-clock.exe" &&
    osslsigncode verify -CAfile "$ca" -in "$system/tessaryn.scr" >/dev/null 2>&1 &&
    osslsigncode verify -CAfile "$ca" -in "$system/tessaryn-clock.exe" >/dev/null 2>&1
}

check "msiexec installs the signed package" wine msiexec /i "$(winepath -w "$msi")" /qn
check "the signed programs are in system32, their signatures intact" signed_programs_installed
check "the installed signed saver starts and draws" installed_saver_draws
check "the installed signed clock step runs" installed_clock_step_runs
check "msiexec removes it" wine msiexec /x "$(winepath -w "$msi")" /qn

check "the signed setup program installs silently" wine "$release/tessaryn-$version-setup.exe" /S
check "it installs the signed programs" signed_programs_installed
uninstaller="$WINEPREFIX/drive_c/Program Files/Tessaryn/uninstall.exe"
authenticode_holds() { osslsigncode verify -CAfile "$ca" -in "$1" >/dev/null 2>&1; }
check "the uninstaller it writes is signed by the release's certificate" \
  authenticode_holds "$uninstaller"
[ "$failures" -eq 0 ]
