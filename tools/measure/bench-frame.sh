#!/usr/bin/env bash
# What a frame of the running saver costs under Wine + Mesa llvmpipe, beside the GL text
# clock of xscreensaver on the same screen, in one run: for dial Color 0, 7 and 1 at
# 1024 x 768 and 1920 x 1080 (and, with --pin, at 1920 x 1080 pinned to one core), the
# frames per second that Mesa counts (GALLIUM_HUD=simple,fps, dumped to a file) and the
# process's CPU time per frame (/proc/PID/stat, all its threads).
#   tools/measure/bench-frame.sh [--seconds N] [--pin] [--no-gltext] [--win64]
#                        [--before OTHER/tessaryn.scr]
# --win64 also measures the 64-bit build under 64-bit Wine, which draws through the
# 64-bit Mesa: the 32-bit Mesa of Debian is built for plain i686 (x87 floating point, no
# SSE in its C code) and costs about twice as much for the same frame.
# --before measures another build of the saver (say, of the commit a change starts from)
# beside this tree's, each case back to back. Installs Debian's xscreensaver-gl for the
# comparison when it is missing.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh

if [ "${1:-}" = "--inner" ]; then
  shift
  screen=$1 seconds=$2 pin=$3 gltext=$4 before=$5 ours=$6 label=$7
  gltext_bin=/usr/libexec/xscreensaver/gltext
  . tools/common.sh
  xvfb_pid=${TESSARYN_XVFB_PID:-}

  # Measures process $1 for $seconds after a warm-up; prints frames/s and ms per frame.
  measure() {
    local pid=$1 hud=$2 label=$3
    sleep 5
    local lines0 c0 x0 c1 x1
    lines0=$(wc -l <"$hud/fps" 2>/dev/null || echo 0)
    c0=$(cpu_of "$pid")
    x0=$([ -n "$xvfb_pid" ] && cpu_of "$xvfb_pid" || echo 0)
    sleep "$seconds"
    c1=$(cpu_of "$pid")
    x1=$([ -n "$xvfb_pid" ] && cpu_of "$xvfb_pid" || echo 0)
    tail -n +"$((lines0 + 1))" "$hud/fps" |
      frame_cost_line "$label" "$((c1 - c0))" "$((x1 - x0))" "$seconds"
  }

  run_saver() {
    local saver=$1 name=$2 color=$3 pinned=$4 pin_cmd=() hud
    [ "$pinned" = pinned ] && pin_cmd=(taskset -c 0)
    for value in "Brightness 9" "Sizes 10" "Alpha 1" "Color $color" "Arrows 1" "Ar_Color 5" \
                 "Rands 0"; do
      set -- $value
      wine reg add 'HKCU\Software\Tessaryn' /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1
    done
    hud=$(mktemp -d)
    GALLIUM_HUD=simple,fps GALLIUM_HUD_DUMP_DIR=$hud "${pin_cmd[@]}" wine "$saver" /s &
    # 64-bit Wine names the process by its Windows path (Z:\...).
    local pid
    pid=$(wait_for_pid "^(${saver}|Z:.*tessaryn[.]scr) /s")
    [ -n "$pid" ] || { echo "the saver did not start"; return 1; }
    measure "$pid" "$hud" "$name $screen Color $color${pinned:+ $pinned}"
    kill "$pid" 2>/dev/null || true
    # Wine keeps a closing full-screen window up to 2 s; the next run must not find it.
    for _ in $(seq 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    wait 2>/dev/null || true
    rm -rf "$hud"
  }

  run_gltext() {
    local hud
    hud=$(mktemp -d)
    GALLIUM_HUD=simple,fps GALLIUM_HUD_DUMP_DIR=$hud \
      "$gltext_bin" -root -text '%A%n%d %b %Y%n%r' >/dev/null 2>&1 &
    local pid=$!
    measure "$pid" "$hud" "gltext $screen"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -rf "$hud"
  }

  run_savers() {
    if [ -n "$before" ]; then
      run_saver "$before" before "$1" "$2"
    fi
    run_saver "$ours" "$label" "$1" "$2"
  }
  for color in 0 7 1; do
    run_savers "$color" ""
  done
  if [ "$pin" = yes ]; then
    for color in 0 7 1; do
      run_savers "$color" pinned
    done
  fi
  [ "$gltext" = yes ] && run_gltext
  exit 0
fi

seconds=20
pin=no
gltext=yes
before=""
win64=no
while [ $# -gt 0 ]; do
  case $1 in
    --win64) win64=yes; shift ;;
    --seconds) seconds=$2; shift 2 ;;
    --pin) pin=yes; shift ;;
    --no-gltext) gltext=no; shift ;;
    --before) before=$(realpath "$2"); shift 2 ;;
    *) echo "usage: $0 [--seconds N] [--pin] [--no-gltext] [--win64] [--before SCR]" >&2
       exit 2 ;;
  esac
done

if [ "$gltext" = yes ] && [ ! -x /usr/libexec/xscreensaver/gltext ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y \
    --no-install-recommends xscreensaver-gl >/dev/null
fi
build win32 tessaryn
if [ "$win64" = yes ]; then
  build win64 tessaryn
fi

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for screen in 1024x768 1920x1080; do
  screen_pin=no
  [ "$screen" = 1920x1080 ] && screen_pin=$pin
  (unset DISPLAY; TESSARYN_SCREEN="${screen}x24" tools/testbed/wine-run.sh --session \
    --prefix build/bench-frame/wineprefix bash "$0" --inner "$screen" "$seconds" \
    "$screen_pin" "$gltext" "$before" "$PWD/build/win32/tessaryn.scr" saver)
  if [ "$win64" = yes ]; then
    (unset DISPLAY; TESSARYN_WINEARCH=win64 TESSARYN_SCREEN="${screen}x24" tools/testbed/wine-run.sh \
      --session --prefix build/bench-frame64/wineprefix bash "$0" --inner "$screen" \
      "$seconds" "$screen_pin" no "" "$PWD/build/win64/tessaryn.scr" saver64)
  fi
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
