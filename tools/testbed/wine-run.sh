#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly, in a prefix inside the build tree.
#
#   wine-run.sh PROGRAM.exe [ARGS...]      run one program
#   wine-run.sh --session [--prefix DIR] COMMAND [ARGS...]
#                                           run COMMAND (ctest, a script) inside one
#                                           Wine session that every nested call shares
#
# A session is one virtual X server (only when there is no DISPLAY) and one persistent
# wineserver; both are stopped by their own process ids when the session ends. A nested
# call (TESSARYN_WINE_SESSION set) just runs wine in the session it finds.
#
# Environment: TESSARYN_WINEPREFIX overrides the prefix (default: wineprefix/ in the
# build tree that holds the program); TESSARYN_SCREEN sets the virtual screen
# (default 1024x768x24); TESSARYN_WINEARCH=win64 makes a 64-bit prefix (which runs
# 32-bit programs too) instead of the default 32-bit one; TESSARYN_MONITORS=WxH,WxH,...
# makes the session's screen a row of monitors (Xephyr with Xinerama on a virtual X
# server; Wine takes the monitors from Xinerama) instead of one virtual screen.
set -euo pipefail

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts: nothing here needs them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=${TESSARYN_WINEARCH:-win32}

build_tree_of() {
  local dir
  dir=$(cd "$(dirname "$1")" 2>/dev/null && pwd) || return 1
  while [ "$dir" != "/" ]; do
    if [ -f "$dir/CMakeCache.txt" ]; then
      echo "$dir"
      return 0
    fi
    dir=$(dirname "$dir")
  done
  return 1
}

choose_prefix() {
  if [ -n "${TESSARYN_WINEPREFIX:-}" ]; then
    echo "$TESSARYN_WINEPREFIX"
  elif [ -n "${1:-}" ] && tree=$(build_tree_of "$1"); then
    echo "$tree/wineprefix"
  else
    echo "$(cd "$(dirname "$0")/../.." && pwd)/build/wineprefix"
  fi
}

xvfb_pid=""
xephyr_pid=""
wm_state_pid=""
wineserver_pid=""

stop_wineserver() {
  # Asks this prefix's server (and only it) to end its processes, then makes sure.
  wineserver -k 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$wineserver_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$wineserver_pid" 2>/dev/null || true
  wait "$wineserver_pid" 2>/dev/null || true
  wineserver_pid=""
}

stop_session() {
  if [ -n "$wineserver_pid" ]; then
    stop_wineserver
  fi
  local pid
  for pid in "$wm_state_pid" "$xephyr_pid" "$xvfb_pid"; do
    if [ -n "$pid" ]; then
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
}

start_wineserver() {
  wineserver -f -p >/dev/null 2>&1 &
  wineserver_pid=$!
}

# Starts an X server on a display it picks itself (-displayfd), so that sessions started
# side by side never race for one number; sets display_number once it listens.
start_x_server() {
  local out
  out=$(mktemp)
  "$@" -displayfd 3 3>"$out" >/dev/null 2>&1 &
  x_pid=$!
  for _ in $(seq 200); do
    [ "$(wc -l <"$out")" -ge 1 ] && break
    sleep 0.05
  done
  display_number=$(head -n 1 "$out")
  rm -f "$out"
}

start_xvfb() {
  start_x_server Xvfb -screen 0 "$1" -nolisten tcp
  xvfb_pid=$x_pid
  export DISPLAY=":$display_number"
  # For the measuring scripts, which count the X server's CPU per frame too.
  export TESSARYN_XVFB_PID=$xvfb_pid
}

# A row of monitors, left to right and top-aligned, as one Xinerama screen.
start_monitors() {
  local sizes size width=0 height=0 screens=()
  IFS=, read -ra sizes <<<"$1"
  for size in "${sizes[@]}"; do
    width=$((width + ${size%x*}))
    height=$((height > ${size#*x} ? height : ${size#*x}))
    screens+=(-screen "$size")
  done
  start_xvfb "${width}x${height}x24"
  start_x_server Xephyr "${screens[@]}" +xinerama -nolisten tcp -noreset
  xephyr_pid=$x_pid
  export DISPLAY=":$display_number"
}

# The session's helpers, a CMake project of their own (tools/testbed/CMakeLists.txt),
# built on first use and again when a source changes. Sessions start side by side, so
# one builds while the others wait for it.
helpers=""
build_helpers() {
  local root log
  root=$(cd "$(dirname "$0")/../.." && pwd)
  helpers=$root/build/testbed
  mkdir -p "$helpers"
  log=$(mktemp)
  if ! flock "$helpers/.lock" bash -c '
    { [ -f "$2/CMakeCache.txt" ] || cmake -S "$1/tools/testbed" -B "$2" -G Ninja; } &&
      cmake --build "$2"' bash "$root" "$helpers" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "wine-run: the test-bed helpers did not build" >&2
    exit 1
  fi
  rm -f "$log"
}

# A window manager's acknowledgement of each map and withdrawal (WM_STATE) on our own X
# server, which Wine otherwise waits 2 s for at every hide.
start_wm_state() {
  local ready
  ready=$(mktemp -u)
  "$helpers/wm-state" "$ready" >/dev/null 2>&1 &
  wm_state_pid=$!
  for _ in $(seq 200); do
    [ -e "$ready" ] && break
    sleep 0.05
  done
  rm -f "$ready"
}

# A program that keeps the session's desktop in use (see its source).
start_desktop_keeper() {
  wine "$helpers/desktop-keeper.exe" >/dev/null 2>&1 &
}

start_session() {
  WINEPREFIX=$(realpath -m "$(choose_prefix "${1:-}")")
  export WINEPREFIX
  mkdir -p "$(dirname "$WINEPREFIX")"
  trap stop_session EXIT
  trap 'exit 130' INT TERM
  build_helpers

  if [ -n "${TESSARYN_MONITORS:-}" ]; then
    start_monitors "$TESSARYN_MONITORS"
    start_wm_state
  elif [ -z "${DISPLAY:-}" ]; then
    start_xvfb "${TESSARYN_SCREEN:-1024x768x24}"
    start_wm_state
  fi

  start_wineserver
  if [ ! -f "$WINEPREFIX/.tessaryn-ready" ]; then
    wine wineboot -i >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.tessaryn-ready"
  fi
  if [ -n "${TESSARYN_MONITORS:-}" ] && [ ! -f "$WINEPREFIX/.tessaryn-xinerama" ]; then
    # NOTE: Xephyr's RandR shows one screen of the Xinerama row, and 64-bit Wine prefers
    # RandR when it has the library: tell it to take the monitors from Xinerama. Wine
    # reads the monitors once per wineserver, so the server starts again.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1 || true
    stop_wineserver
    start_wineserver
    touch "$WINEPREFIX/.tessaryn-xinerama"
  fi
  # The first program of a session starts Wine's background services, which inherit its
  # output; start them here so that no caller's pipe (ctest's) is held open by them.
  wine cmd.exe /c exit >/dev/null 2>&1 || true
  start_desktop_keeper
  export TESSARYN_WINE_SESSION=1
}

if [ "${1:-}" = "--session" ]; then
  shift
  if [ "${1:-}" = "--prefix" ]; then
    TESSARYN_WINEPREFIX=${TESSARYN_WINEPREFIX:-$2}
    shift 2
  fi
  start_session ""
  set +e
  "$@"
  rc=$?
  exit $rc
fi

if [ -n "${TESSARYN_WINE_SESSION:-}" ]; then
  exec wine "$@"
fi

start_session "${1:-}"
set +e
wine "$@"
rc=$?
exit $rc
