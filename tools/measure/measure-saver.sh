#!/usr/bin/env bash
# Runs the full-screen saver under Wine for a while and reports whether it grows, and
# what a frame costs. A whole-process measure from /proc: resident and virtual memory,
# open file descriptors (Wine's handles to server objects, sockets, files) and threads
# at the start and the end, and the process's CPU time per frame at the nominal 25
# frames per second. (Wine does not report handle or GDI counts of another process.)
#   tools/measure/measure-saver.sh [SECONDS] [WIDTHxHEIGHT]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh
seconds=${1:-180}
screen=${2:-1024x768}

build win32 tessaryn

export TESSARYN_SCREEN="${screen}x24"
prefix="build/measure-${screen}/wineprefix"
tools/testbed/wine-run.sh --session --prefix "$prefix" bash -c '
  seconds=$1
  . tools/common.sh
  wine build/win32/tessaryn.scr /s &
  pid=$(wait_for_pid "^build/win32/tessaryn.scr /s")
  [ -n "$pid" ] || { echo "the saver did not start"; exit 1; }
  sleep 5
  echo "start: $(sample)"
  cpu0=$(cpu)
  sleep "$seconds"
  cpu1=$(cpu)
  echo "end:   $(sample)"
  awk -v c0="$cpu0" -v c1="$cpu1" -v t="$ticks" -v s="$seconds" \
    "BEGIN { printf \"cpu: %.1f s in %d s, %.1f ms per frame at 25 frames/s\n\", (c1-c0)/t, s, (c1-c0)/t*1000/(s*25) }"
  kill "$pid" 2>/dev/null || true
' measure "$seconds"
