#!/usr/bin/env bash
# What a frame of the Linux hack costs natively under Mesa llvmpipe, beside the GL text
# clock of xscreensaver on the same screen, in one run: on one Xvfb of 1920 x 1080, the
# hack on the root window with dial Color 0, 7 and 1, then
# `gltext -root -text '%A%n%d %b %Y%n%r'`, one after the other; for each the frames per
# second that Mesa counts (GALLIUM_HUD=simple,fps, dumped to a file) and the process's
# CPU time per frame (/proc/PID/stat, all its threads). The sibling of bench-frame.sh,
# which measures the Windows build under Wine.
#   tools/measure/bench-linux.sh [--seconds N] [--screen WxH] [--hack FILE]
# --hack measures another build of the hack (default: the native preset's, built here).
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh

seconds=20
screen=1920x1080
hack=""
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --hack) hack=$(realpath "$2"); shift 2 ;;
    *) echo "usage: $0 [--seconds N] [--screen WxH] [--hack FILE]" >&2; exit 2 ;;
  esac
done

gltext_bin=/usr/libexec/xscreensaver/gltext
if [ ! -x "$gltext_bin" ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y \
    --no-install-recommends xscreensaver-gl >/dev/null
fi
if [ -z "$hack" ]; then
  build native tessaryn
  hack=$PWD/build/native/xscreensaver/tessaryn
fi

work=$(mktemp -d)
xvfb_pid=""
running_pid=""
cleanup() {
  [ -z "$running_pid" ] || kill "$running_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 "${screen}x24" >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
export DISPLAY=:$(cat "$work/display")

# Runs "$@" with Mesa's frame counter for $seconds after a warm-up; prints frames/s and
# the CPU per frame of the program and of the X server.
measure() {
  local label=$1 hud=$work/hud
  shift
  rm -rf "$hud"
  mkdir -p "$hud"
  GALLIUM_HUD=simple,fps GALLIUM_HUD_DUMP_DIR=$hud "$@" >/dev/null 2>&1 &
  running_pid=$!
  sleep 5
  local lines0 c0 x0 c1 x1
  lines0=$(wc -l <"$hud/fps" 2>/dev/null || echo 0)
  c0=$(cpu_of "$running_pid")
  x0=$(cpu_of "$xvfb_pid")
  sleep "$seconds"
  c1=$(cpu_of "$running_pid")
  x1=$(cpu_of "$xvfb_pid")
  kill "$running_pid" 2>/dev/null || true
  wait "$running_pid" 2>/dev/null || true
  running_pid=""
  if [ ! -s "$hud/fps" ]; then
    echo "$label: Mesa counted no frames (GALLIUM_HUD_DUMP_DIR stayed empty)"
    return 1
  fi
  tail -n +"$((lines0 + 1))" "$hud/fps" |
    frame_cost_line "$label" "$((c1 - c0))" "$((x1 - x0))" "$seconds"
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for color in 0 7 1; do
  measure "tessaryn $screen Color $color" "$hack" -root -dial "$color"
done
measure "gltext $screen" "$gltext_bin" -root -text '%A%n%d %b %Y%n%r'
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
