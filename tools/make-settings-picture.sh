#!/usr/bin/env bash
# Photographs the settings window as it runs under Wine, with fixed stored settings, into
# docs/settings-window.png. The virtual screen has no window manager, so the picture is
# the window's client area, without the frame and caption a desktop draws.
#   tools/make-settings-picture.sh
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target tessaryn -j2 >/dev/null

prefix="build/picture/wineprefix"
tools/wine-run.sh --session --prefix "$prefix" bash -c '
  key="HKCU\\Software\\Tessaryn"
  for value in Brightness=9 Sizes=10 Color=3 Alpha=4 Arrows=4 Ar_Color=5 Rands=0; do
    wine reg add "$key" /v "${value%=*}" /t REG_DWORD /d "${value#*=}" /f >/dev/null 2>&1
  done
  wine build/win32/tessaryn.scr /c & 
  geometry=""
  for _ in $(seq 100); do
    geometry=$(xwininfo -root -tree | awk "/\"Tessaryn Settings\"/ {print \$(NF-1)}")
    [ -n "$geometry" ] && break
    sleep 0.1
  done
  [ -n "$geometry" ] || { echo "the settings window did not open"; exit 1; }
  sleep 3
  import -window root -crop "$geometry" +repage docs/settings-window.png
  wine taskkill /im tessaryn.scr >/dev/null 2>&1 || true
'
echo "wrote docs/settings-window.png"
