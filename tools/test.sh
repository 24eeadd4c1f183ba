#!/usr/bin/env bash
# Sets everything up and runs every test tier: native (g++, then clang with
# sanitizers), win32 and e2e under Wine, the same for the 64-bit build, both on two
# monitors, and the setup program. Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

jobs=$(nproc)
status=0

run_tier() {
  local name=$1
  shift
  echo "== $name"
  if ! "$@"; then
    echo "== $name: FAILED"
    status=1
  fi
}

build() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"
}

run_tier "native build" build native
run_tier "native tests" ctest --preset native -j "$jobs"

run_tier "native build (clang, sanitizers)" build native-sanitize
run_tier "native tests (clang, sanitizers)" ctest --preset native-sanitize -j "$jobs"

run_tier "win32 build" build win32
run_tier "win32 sources under clang" bash tools/check-win32-clang.sh
# One Wine session (virtual screen, wineserver) for the whole Windows run.
run_tier "win32 and e2e tests" tools/wine-run.sh --session --prefix build/win32/wineprefix ctest --preset win32

run_tier "win64 build" build win64
# The same Windows tests, 64-bit, in a 64-bit prefix and a session of their own.
run_tier "win64 and e2e tests (64-bit Wine)" env TESSARYN_WINEARCH=win64 \
  tools/wine-run.sh --session --prefix build/win64/wineprefix ctest --preset win64

# The saver on two monitors: Xephyr with Xinerama, a session and prefix of its own.
monitors=1024x768,800x600
run_tier "two monitors (32-bit)" env TESSARYN_MONITORS=$monitors \
  tools/wine-run.sh --session --prefix build/win32/wineprefix-two-monitors \
  ctest --preset win32-two-monitors
run_tier "two monitors (64-bit)" env TESSARYN_WINEARCH=win64 TESSARYN_MONITORS=$monitors \
  tools/wine-run.sh --session --prefix build/win64/wineprefix-two-monitors \
  ctest --preset win64-two-monitors

run_tier "package" bash tools/package.sh
run_tier "installer (32-bit Wine)" bash tests/install/install_test.sh win32
run_tier "installer (64-bit Wine)" bash tests/install/install_test.sh win64

if [ "$status" -ne 0 ]; then
  echo "Some tests FAILED."
else
  echo "All test tiers passed."
fi
exit "$status"
