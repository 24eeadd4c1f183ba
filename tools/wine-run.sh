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
# 32-bit programs too) instead of the default 32-bit one.
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
    echo "$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix"
  fi
}

free_display() {
  local n
  for n in $(seq 90 190); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

xvfb_pid=""
wineserver_pid=""

stop_session() {
  if [ -n "$wineserver_pid" ]; then
    # Asks this prefix's server (and only it) to end its processes, then makes sure.
    wineserver -k 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$wineserver_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$wineserver_pid" 2>/dev/null || true
    wait "$wineserver_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}

start_session() {
  WINEPREFIX=$(realpath -m "$(choose_prefix "${1:-}")")
  export WINEPREFIX
  mkdir -p "$(dirname "$WINEPREFIX")"
  trap stop_session EXIT
  trap 'exit 130' INT TERM

  if [ -z "${DISPLAY:-}" ]; then
    local n
    n=$(free_display)
    Xvfb ":$n" -screen 0 "${TESSARYN_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.05
    done
  fi

  wineserver -f -p >/dev/null 2>&1 &
  wineserver_pid=$!
  if [ ! -f "$WINEPREFIX/.tessaryn-ready" ]; then
    wine wineboot -i >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.tessaryn-ready"
  fi
  # The first program of a session starts Wine's background services, which inherit its
  # output; start them here so that no caller's pipe (ctest's) is held open by them.
  wine cmd.exe /c exit >/dev/null 2>&1 || true
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
