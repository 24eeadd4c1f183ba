#!/usr/bin/env bash
# Sets everything up and runs every test tier: native (g++, then clang with
# sanitizers), the Debian package under XScreenSaver, win32 and e2e under Wine, the
# same for the 64-bit build, both on two monitors, the setup program and the Windows
# Installer packages, a signed release, the apt repository. Exits non-zero when any
# test fails.
#
# The builds take every core. The Wine tiers mostly wait (for windows, processes, the
# X server), so each bitness's Wine tiers start as soon as its own build is done, its
# main tests beside its other tiers, and everything else runs beside them: the native
# chain in front, the clang pass, and the package, release and apt tiers in a chain of
# their own. A chain's output follows when it ends. Docs/DEVELOPING.md has each step's
# time.
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
# Waits for background chain number $1 (once), shows its output, counts its failure.
wait_background() {
  local i=$1
  [ -n "${background_pids[$i]}" ] || return 0
  wait "${background_pids[$i]}" || status=1
  cat "${background_logs[$i]}"
  background_pids[i]=""
}

# The installer tiers need the package, made after both builds: they wait for it.
package_done=$logs/package.done
rm -f "$package_done"
package_passed() {
  until [ -e "$package_done" ]; do
    kill -0 $$ 2>/dev/null || return 1
    sleep 1
  done
  [ "$(cat "$package_done")" = 0 ]
}

windows_tiers() {
  local preset=$1 arch=$2
  # The bitness's other tiers, each in a Wine prefix and X server of its own, run beside
  # its main tests, which mostly wait for windows and time-outs.
  local others=${#background_pids[@]}
  in_background "$preset-others" more_windows_tiers "$preset" "$arch"
  run_tier "$preset and e2e tests" env TESSARYN_WINEARCH="$arch" \
    tools/testbed/wine-run.sh --session --prefix "build/$preset/wineprefix" ctest --preset "$preset"
  wait_background "$others"
}
more_windows_tiers() {
  local preset=$1 arch=$2
  # The saver on two monitors: Xephyr with Xinerama, a session and prefix of its own.
  run_tier "two monitors ($preset)" env TESSARYN_WINEARCH="$arch" \
    TESSARYN_MONITORS=1024x768,800x600 \
    tools/testbed/wine-run.sh --session --prefix "build/$preset/wineprefix-two-monitors" \
    ctest --preset "$preset-two-monitors"
  if ! package_passed; then
    echo "== installers ($preset Wine): not run, the package failed"
    status=1
    return
  fi
  run_tier "installer ($preset Wine)" bash tests/install/install_test.sh "$preset"
  run_tier "Windows Installer package ($preset Wine)" bash tests/install/msi_test.sh "$preset"
}

# Both install tessaryn system-wide (the apt tier with apt, the package tier with dpkg):
# never beside each other, nor beside another checkout's run of them on this machine.
system_wide() { flock /tmp/tessaryn-package-tier.lock "$@"; }

# The package (which the installer tiers wait for), then a release signed with throwaway
# keys: its signatures checked, its signed programs installed and run under Wine, in a
# session of its own. Then the apt repository. One after another: the package and the
# release build in the same folders.
package_release_apt() {
  # The hack's .deb is built as Debian builds it, from the same source and in the same
  # place three times: the package, and the release test's releases without and with
  # keys. Through ccache the last two compile nothing, and make the same bytes. Its
  # folder is named, as debhelper gives each build a home of its own.
  if command -v ccache >/dev/null; then
    export TESSARYN_DEB_LAUNCHER=ccache
    CCACHE_DIR=$(ccache -k cache_dir)
    export CCACHE_DIR
  fi
  run_tier "package" bash tools/package/package.sh
  local package_failed=$status
  echo "$package_failed" >"$package_done"
  run_tier "signed release" bash tests/release/release_test.sh
  if [ "$package_failed" -ne 0 ]; then
    echo "== apt repository: not run, the package failed"
    status=1
    return
  fi
  run_tier "apt repository: install, upgrade, refusals" \
    system_wide bash tests/linux/apt_update_test.sh
}

run_tier "test-bed helpers" quietly bash -c \
  'cmake -S tools/testbed -B build/testbed -G Ninja && cmake --build build/testbed'
# The 64-bit session is the longer one: its build comes first.
run_tier "win64 build" build win64
in_background win64 windows_tiers win64 win64
run_tier "win32 build" build win32
in_background win32 windows_tiers win32 win32
in_background package package_release_apt
# Only computes, and nothing waits for it: it yields the cores to what does.
in_background clang run_tier "win32 sources under clang" nice -n 10 bash tools/testbed/check-win32-clang.sh

run_tier "native build" build native
# The native tests mostly wait for their X servers and Mesa: the sanitizer build fills
# the cores meanwhile.
native_tests=${#background_pids[@]}
in_background native-tests run_tier "native tests" ctest --preset native -j "$jobs"
run_tier "native build (clang, sanitizers)" build native-sanitize
wait_background "$native_tests"
run_tier "native tests (clang, sanitizers)" ctest --preset native-sanitize -j "$jobs"

for i in "${!background_pids[@]}"; do
  wait_background "$i"
done

# Installs the .deb, runs it under Debian's XScreenSaver daemon, purges it: after the
# Wine sessions, so that its daemon and theirs never start under each other's load.
run_tier "Debian package and XScreenSaver daemon" system_wide bash tests/linux/package_test.sh

if [ "$status" -ne 0 ]; then
  echo "Some tests FAILED."
else
  echo "All test tiers passed."
fi
echo "test.sh: $SECONDS s in all"
exit "$status"
