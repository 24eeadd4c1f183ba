#!/usr/bin/env bash
# Runs the preview inside a stand-in for the display dialog under Wine for a while and
# reports whether the process grows while it makes and destroys a rendering context at
# every frame. A whole-process measure from /proc: resident and virtual memory, open file
# descriptors (Wine's handles to server objects, X connections, files) and threads, sampled
# every 30 s, and the process's CPU time per frame at the nominal 25 frames per second.
# (Wine does not report handle or GDI counts of another process.)
#   tools/measure/measure-preview.sh [SECONDS] [SHOW-COMMAND]
# SHOW-COMMAND, a ShowWindow number (0 hide, 6 minimise), is applied to the dialog after
# 2 s, to measure the preview behind a hidden or minimised dialog.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh
seconds=${1:-180}
show=${2:-}

build win32 tessaryn preview_dialog

prefix="build/measure-preview/wineprefix"
tools/testbed/wine-run.sh --session --prefix "$prefix" bash -c '
  seconds=$1
  show=$2
  wine build/win32/tests/e2e/preview_dialog.exe --seconds $((seconds + 15)) ${show:+--show $show} &
  pid=""
  for _ in $(seq 100); do
    # The dialog starts the saver by its Windows path; only this session'"'"'s prefix counts.
    for p in $(pgrep -f "^Z:.*tessaryn[.]scr /p" || true); do
      if tr "\0" "\n" <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
        pid=$p
      fi
    done
    [ -n "$pid" ] && break
    sleep 0.1
  done
  [ -n "$pid" ] || { echo "the preview did not start"; exit 1; }
  sleep 5
  . tools/common.sh
  echo "0 s:   $(sample)"
  cpu0=$(cpu)
  for ((t = 30; t <= seconds; t += 30)); do
    sleep 30
    echo "$t s: $(sample)"
  done
  cpu1=$(cpu)
  awk -v c0="$cpu0" -v c1="$cpu1" -v t="$ticks" -v s="$seconds" \
    "BEGIN { printf \"cpu: %.1f s in %d s, %.1f ms per frame at 25 frames/s\n\", (c1-c0)/t, s, (c1-c0)/t*1000/(s*25) }"
  wait
' measure "$seconds" "$show"
