#!/usr/bin/env bash
# Photographs the settings window as it runs under Wine, with fixed stored settings, into
# docs/settings-window.png. The virtual screen has no window manager, so the picture is
# the window's client area, without the frame and caption a desktop draws.
#   tools/measure/make-settings-picture.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh

build win32 tessaryn

prefix="build/picture/wineprefix"
tools/testbed/wine-run.sh --session --prefix "$prefix" bash -c '
  key="HKCU\\Software\\Tessaryn"
  for value in Brightness=9 Sizes=10 Color=3 Alpha=4 Arrows=4 Ar_Color=5 Rands=0; do
    wine reg add "$key" /v "${value%=*}" /t REG_DWORD /d "${value#*=}" /f >/dev/null 2>&1
  done
  # The picture is of the client area: with its windows managed, Wine gives the form an X
  # window of that area and leaves the frame to a window manager (none here).
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d Y /f >/dev/null 2>&1
  wine build/win32/tessaryn.scr /c & 
  geometry=""
  for _ in $(seq 100); do
    geometry=$(xwininfo -root -tree | awk "/\"Tessaryn Settings\"/ {print \$(NF-1)}")
    [ -n "$geometry" ] && break
    sleep 0.1
  done
  [ -n "$geometry" ] || { echo "the settings window did not open"; exit 1; }
  sleep 3
  # NOTE: Wine draws the clock, an OpenGL child window of the form, into an off-screen X
  # window of its own (the unnamed one of the form'"'"'s size), whose first row and column
  # lie off the screen. It is laid under the form'"'"'s controls as Windows shows it.
  size=${geometry%%+*}
  clock=$(xwininfo -root -tree | awk "/\(has no name\).* ${size}\+/ {print \$1}" | tail -n 1)
  [ -n "$clock" ] || { echo "no X window of the clock"; exit 1; }
  form_png=$(mktemp --suffix .png)
  clock_png=$(mktemp --suffix .png)
  import -window root -crop "$geometry" +repage "$form_png"
  import -window "$clock" "$clock_png"
  # "Random" (97 x 17 at 10, 290) is the one control over the clock and paints its own
  # background there.
  convert "$form_png" "$clock_png" -geometry +1+1 -compose Lighten -composite \
    \( "$form_png" -crop 97x17+10+290 +repage \) -geometry +10+290 -compose Over -composite \
    docs/settings-window.png
  rm -f "$form_png" "$clock_png"
  wine taskkill /im tessaryn.scr >/dev/null 2>&1 || true
'
echo "wrote docs/settings-window.png"
