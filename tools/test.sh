#!/usr/bin/env bash
# Sets everything up and runs every test tier: native (g++, then clang with
# sanitizers), the Debian package under XScreenSaver, win32 and e2e under Wine, the
# same for the 64-bit build, both on two monitors, the setup program and the Windows
# Installer packages. Exits non-zero when any test fails.
#
# The builds take every core one after another. The Wine tiers mostly wait (for
# windows, processes, the X server), so each bitness runs in a Wine session of its own
# beside the other and beside the native tiers; their output follows when they end.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh

bash tools/install-deps.sh

jobs=$(nproc)
status=0
logs=build/test-logs
mkdir -p "$logs"

run_tier() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name"
  if "$@"; then
    echo "== $name: $((SECONDS - start)) s"
  else
    echo "== $name: FAILED after $((SECONDS - start)) s"
    status=1
  fi
}

# A chain of tiers in the background, its output kept until it is shown.
background_pids=()
background_logs=()
in_background() {
  local log=$logs/$1.log
  shift
  (
    status=0
    "$@"
    exit "$status"
  ) >"$log" 2>&1 &
  background_pids+=($!)
  background_logs+=("$log")
}

windows_tiers() {
  local preset=$1 arch=$2
  run_tier "$preset and e2e tests" env TESSARYN_WINEARCH="$arch" \
    tools/testbed/wine-run.sh --session --prefix "build/$preset/wineprefix" ctest --preset "$preset"
  # The saver on two monitors: Xephyr with Xinerama, a session and prefix of its own.
  run_tier "two monitors ($preset)" env TESSARYN_WINEARCH="$arch" \
    TESSARYN_MONITORS=1024x768,800x600 \
    tools/testbed/wine-run.sh --session --prefix "build/$preset/wineprefix-two-monitors" \
    ctest --preset "$preset-two-monitors"
  run_tier "installer ($preset Wine)" bash tests/install/install_test.sh "$preset"
  run_tier "Windows Installer package ($preset Wine)" bash tests/install/msi_test.sh "$preset"
}

# The Wine tiers are the longest path: their builds and the package they install come
# first, the native build runs beside them.
run_tier "win32 build" build win32
run_tier "win64 build" build win64
run_tier "package" bash tools/package/package.sh

in_background win32 windows_tiers win32 win32
in_background win64 windows_tiers win64 win64

run_tier "native build" build native
run_tier "native tests" ctest --preset native -j "$jobs"
run_tier "win32 sources under clang" bash tools/testbed/check-win32-clang.sh
run_tier "native build (clang, sanitizers)" build native-sanitize
run_tier "native tests (clang, sanitizers)" ctest --preset native-sanitize -j "$jobs"

for i in "${!background_pids[@]}"; do
  if ! wait "${background_pids[$i]}"; then
    status=1
  fi
  cat "${background_logs[$i]}"
done

# A release signed with throwaway keys: its signatures checked, its signed programs
# installed and run under Wine.
run_tier "signed release" bash tests/release/release_test.sh

# Installs the .deb, runs it under Debian's XScreenSaver daemon, purges it: after the
# Wine sessions, so that its daemon and theirs never start under each other's load.
run_tier "Debian package and XScreenSaver daemon" bash tests/linux/package_test.sh
run_tier "apt repository: install, upgrade, refusals" bash tests/linux/apt_update_test.sh

if [ "$status" -ne 0 ]; then
  echo "Some tests FAILED."
else
  echo "All test tiers passed."
fi
echo "test.sh: $SECONDS s in all"
exit "$status"
