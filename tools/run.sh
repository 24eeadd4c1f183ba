#!/usr/bin/env bash
# Sets everything up, builds tessaryn.scr and runs it under Wine.
#   tools/run.sh            the full-screen saver
#   tools/run.sh /c         any mode, with the screensaver's own arguments
# With a DISPLAY the saver shows there and runs until you leave it. Without one it runs
# on a virtual screen for TESSARYN_RUN_SECONDS (default 12) and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh

bash tools/install-deps.sh
build win32 tessaryn

scr=build/win32/tessaryn.scr
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(/s)

if [ -n "${DISPLAY:-}" ]; then
  exec tools/testbed/wine-run.sh "$scr" "${args[@]}"
fi

shot="build/screenshot-$(date +%Y%m%d-%H%M%S).png"
seconds=${TESSARYN_RUN_SECONDS:-12}
tools/testbed/wine-run.sh --session --prefix build/win32/wineprefix bash -c '
  wine "$1" "${@:4}" &
  saver=$!
  sleep "$2"
  import -window root "$3" 2>/dev/null || xwd -root -silent | convert xwd:- "$3"
  kill "$saver" 2>/dev/null || true
  wait "$saver" 2>/dev/null || true
' run "$scr" "$seconds" "$shot" "${args[@]}"
echo "Screenshot after ${seconds} s: $shot"
