#!/usr/bin/env bash
# The setup program as a user and an administrator meet it, under Wine:
#
#   tests/install/install_test.sh win32|win64 [PACKAGE_DIR]
#
# runs build/package/tessaryn-setup.exe (made by tools/package.sh) in a fresh Wine
# prefix of that bitness: silent install and uninstall, the uninstall entry, the active
# screensaver set and given back, the installed saver started from the system folder,
# its clock step installed beside it and removed with it,
# installing twice and removing once. Exits non-zero when a check fails.
set -euo pipefail
cd "$(dirname "$0")/../.."

arch=${1:?win32 or win64}
package=$(realpath "${2:-build/package}")

if [ -z "${TESSARYN_WINE_SESSION:-}" ]; then
  prefix=build/install-$arch/wineprefix
  rm -rf "$prefix"
  export TESSARYN_WINEARCH=$arch
  exec tools/wine-run.sh --session --prefix "$prefix" bash "$0" "$arch" "$package"
fi

. tests/support/checks.sh

# The manifest Windows reads from the setup program itself.
check "the setup program's manifest is what Windows accepts" \
  bash tests/binary/manifest-check.sh program i686-w64-mingw32-objdump \
  "$package/tessaryn-setup.exe" setup

windows=$WINEPREFIX/drive_c/windows
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaryn'
desktop_key='HKCU\Control Panel\Desktop'

# The registry as 64-bit programs see it, where Add/Remove Programs looks, on 64-bit
# Windows: `wine reg` runs the 32-bit reg.exe there.
# Likewise a program started by its Windows path goes through the 32-bit loader, which
# would look in syswow64 for system32: start the installed saver with the 64-bit one.
view=()
native_wine=wine
if [ "$arch" = win64 ]; then
  view=(/reg:64)
  native_wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
fi

# A registry value's data, or nothing and a failure when it is missing.
reg_value() {
  wine reg query "$1" /v "$2" "${view[@]}" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ */, ""); print; found = 1 }
                      END { exit !found }'
}
reg_key_exists() { wine reg query "$1" "${view[@]}" >/dev/null 2>&1; }
reg_set() { wine reg add "$1" /v "$2" /d "$3" /f "${view[@]}" >/dev/null 2>&1; }
reg_delete() { wine reg delete "$1" /v "$2" /f "${view[@]}" >/dev/null 2>&1 || true; }

value_is() { [ "$(reg_value "$1" "$2")" = "$3" ]; }
value_missing() { ! reg_value "$1" "$2" >/dev/null; }
same_file() { cmp -s "$1" "$2"; }
no_file() { [ ! -e "$1" ]; }

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

# The brightest pixel near a point of the clock's plane, on a full-screen frame of the
# screenshot's size (eye at z = 5, 45 degrees: 5 tan 22.5 units from centre to edge).
brightness_near() {
  local shot=$1 x=$2 y=$3 size px py
  size=$(identify -format '%w %h' "$shot")
  read -r px py < <(awk -v s="$size" -v x="$x" -v y="$y" 'BEGIN {
    split(s, wh, " "); e = 5 * sin(3.14159265 / 8) / cos(3.14159265 / 8)
    printf "%d %d\n", wh[1] / 2 * (1 + x / e) - 2, wh[2] / 2 * (1 - y / e) - 2 }')
  convert "$shot" -crop "5x5+$px+$py" -colorspace Gray -format '%[fx:int(255*maxima)]' info:
}

# The installed saver, started from the system folder as Windows starts it, covers the
# screen and draws the clock: the hour marks at 12, 3, 6 and 9 (radius 1.7) are lit,
# a corner stays black.
installed_saver_draws() {
  local pid lit=0 b shot=$WINEPREFIX/../installed-saver.png
  "$native_wine" 'C:\windows\system32\tessaryn.scr' /s &
  pid=$!
  # Waits for the window and its first frames, not for a time: a loaded machine is slow.
  for _ in $(seq 120); do
    lit=0
    if xwininfo -root -tree | grep -q '"Full"'; then
      import -window root "$shot"
      for mark in "0 1.7" "1.7 0" "0 -1.7" "-1.7 0"; do
        b=$(brightness_near "$shot" $mark)
        [ "$b" -gt 100 ] && lit=$((lit + 1))
      done
      [ "$lit" -eq 4 ] && break
    fi
    sleep 0.5
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "    hour marks lit: $lit of 4, corner $(brightness_near "$shot" -2.0 2.0)"
  [ "$lit" -eq 4 ] && [ "$(brightness_near "$shot" -2.0 2.0)" -lt 40 ]
}

# The installed clock step runs from the system folder and refuses a request without
# arguments (ERROR_BAD_ARGUMENTS, 160) before it touches the clock.
installed_clock_step_runs() {
  local code=0
  "$native_wine" 'C:\windows\system32\tessaryn-clock.exe' || code=$?
  [ "$code" -eq 160 ]
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

if [ "$failures" -ne 0 ]; then
  echo "install tests ($arch): $failures FAILED"
  exit 1
fi
echo "install tests ($arch): all passed"
