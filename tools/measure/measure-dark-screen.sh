#!/usr/bin/env bash
# What the full-screen saver costs behind a screen nobody can see: its CPU time over
# SECONDS while it draws, then over the same time after the session has lost its display
# (WM_WTSSESSION_CHANGE, console disconnected, posted as Windows posts it), and the
# ratio of the two. A benchmark, not a test.
#   tools/measure/measure-dark-screen.sh [SECONDS] [win32|win64]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh
seconds=${1:-60}
preset=${2:-win32}

build "$preset" tessaryn session_notice
[ "$preset" = win64 ] && export TESSARYN_WINEARCH=win64

tools/testbed/wine-run.sh --session --prefix "build/$preset/wineprefix-measure" bash -c '
  seconds=$1 preset=$2
  . tools/common.sh
  wine "build/$preset/tessaryn.scr" /s &
  # 32-bit Wine keeps the path it was given; 64-bit Wine starts a .scr by its Windows path.
  pid=$(wait_for_pid "^(build/$preset/|Z:.*)tessaryn[.]scr /s$")
  [ -n "$pid" ] || { echo "the saver did not start"; exit 1; }
  sleep 5
  on0=$(cpu)
  sleep "$seconds"
  on1=$(cpu)
  wine "build/$preset/tests/e2e/session_notice.exe" 2 || { echo "no saver window"; exit 1; }
  sleep 2
  off0=$(cpu)
  sleep "$seconds"
  off1=$(cpu)
  awk -v a="$((on1 - on0))" -v b="$((off1 - off0))" -v t="$ticks" -v s="$seconds" -v p="$preset" \
    "BEGIN { printf \"%s: drawing %.2f s CPU in %d s; display gone %.2f s CPU; %.2f %% of drawing\n\",
             p, a/t, s, b/t, a ? 100*b/a : 0 }"
  kill "$pid" 2>/dev/null || true
' measure "$seconds" "$preset"
