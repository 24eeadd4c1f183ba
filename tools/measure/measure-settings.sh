#!/usr/bin/env bash
# Measures the settings window under Wine, as a whole process seen from /proc (Wine does
# not report another process's handle or GDI counts):
#  1. opens it and closes it (WM_CLOSE, as the close box does) 20 times and counts the
#     processes left behind;
#  2. leaves it open for SECONDS, taking the activation away (a click on Wine's notepad)
#     and back (a click on the window) every 10 s, each return making a new rendering
#     context and releasing the earlier one, and samples resident and virtual memory,
#     open file descriptors (Wine's handles to server objects) and threads every 30 s,
#     with the CPU time per frame at the nominal 25 frames per second.
#   tools/measure/measure-settings.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh
seconds=${1:-180}

build win32 tessaryn

prefix="build/measure-settings/wineprefix"
tools/testbed/wine-run.sh --session --prefix "$prefix" bash -c '
  seconds=$1
  saver_pid() { pgrep -f "^build/win32/tessaryn.scr /c" | head -n 1 || true; }
  wait_for_window() {
    for _ in $(seq 100); do
      xwininfo -root -tree 2>/dev/null | grep -q "\"Tessaryn Settings\"" && return 0
      sleep 0.1
    done
    return 1
  }

  left=0
  for round in $(seq 20); do
    wine build/win32/tessaryn.scr /c &
    wait_for_window || { echo "round $round: no window"; exit 1; }
    wine taskkill /im tessaryn.scr >/dev/null 2>&1 || true
    for _ in $(seq 50); do [ -z "$(saver_pid)" ] && break; sleep 0.1; done
    [ -n "$(saver_pid)" ] && left=$((left + 1))
  done
  echo "open and close, 20 rounds: $left processes left"

  wine build/win32/tessaryn.scr /c &
  wait_for_window || { echo "no window"; exit 1; }
  pid=$(saver_pid)
  wine notepad >/dev/null 2>&1 &
  sleep 5
  # A point in the named X window, at fractions of its width and height.
  point() {
    xwininfo -root -tree | awk -v name="\"$1\"" -v fx="$2" -v fy="$3" "index(\$0, name) {
      split(\$(NF-1), g, /[x+]/); print int(g[3] + g[1] * fx), int(g[4] + g[2] * fy); exit }"
  }
  # The empty bottom right corner of the settings window; notepad where they do not overlap.
  read -r sx sy <<<"$(point "Tessaryn Settings" 0.97 0.98)"
  read -r nx ny <<<"$(point "Untitled - Notepad" 0.03 0.1)"
  . tools/common.sh
  echo "0 s: $(sample)"
  cpu0=$(cpu)
  start=$(date +%s)
  activations=0
  for t in $(seq 1 "$seconds"); do
    sleep 1
    if [ $((t % 10)) -eq 0 ]; then
      xdotool mousemove "$nx" "$ny" click 1
      sleep 0.5
      xdotool mousemove "$sx" "$sy" click 1
      activations=$((activations + 1))
    fi
    [ $((t % 30)) -eq 0 ] && echo "$t s: $(sample)"
  done
  cpu1=$(cpu)
  elapsed=$(($(date +%s) - start))
  echo "activation taken and given back $activations times"
  awk -v c0="$cpu0" -v c1="$cpu1" -v t="$ticks" -v s="$elapsed" \
    "BEGIN { printf \"cpu: %.1f s in %d s, %.1f ms per frame at 25 frames/s\n\", (c1-c0)/t, s, (c1-c0)/t*1000/(s*25) }"
  wine taskkill /im tessaryn.scr /im notepad.exe >/dev/null 2>&1 || true
' measure "$seconds"
