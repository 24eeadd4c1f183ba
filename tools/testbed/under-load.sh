#!/usr/bin/env bash
# The Wine tiers under load: RUNS runs in a row of the win32 and win64 presets (the
# in-process, binary and e2e tests; each bitness in a Wine session of its own, side by
# side as tools/test.sh runs them) and both two-monitor presets, while a loop rebuilding
# the native tree from nothing keeps both cores busy. Prints each run's time and result;
# exits non-zero when any run failed. The trees must be built (tools/test.sh does it).
#   tools/testbed/under-load.sh [RUNS]
set -uo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
logs=build/under-load
mkdir -p "$logs"

( while :; do cmake --build build/native --clean-first -j "$(nproc)" >/dev/null 2>&1; done ) &
busy=$!
trap 'kill "$busy" 2>/dev/null; pkill -P "$busy" 2>/dev/null' EXIT

bitness() {
  local preset=$1
  TESSARYN_WINEARCH=$preset tools/testbed/wine-run.sh --session --prefix "build/$preset/wineprefix" \
    ctest --preset "$preset" --output-on-failure &&
    TESSARYN_WINEARCH=$preset TESSARYN_MONITORS=1024x768,800x600 \
      tools/testbed/wine-run.sh --session --prefix "build/$preset/wineprefix-two-monitors" \
      ctest --preset "$preset-two-monitors" --output-on-failure
}

failed=0
for run in $(seq "$runs"); do
  start=$SECONDS
  bitness win32 >"$logs/run$run-win32.log" 2>&1 &
  w32=$!
  bitness win64 >"$logs/run$run-win64.log" 2>&1 &
  w64=$!
  result=passed
  wait "$w32" || result=FAILED
  wait "$w64" || result=FAILED
  [ "$result" = passed ] || failed=$((failed + 1))
  echo "run $run: $result in $((SECONDS - start)) s, load $(cut -d' ' -f1-3 /proc/loadavg)" \
    "($(grep -h 'tests passed' "$logs/run$run-"*.log | tr '\n' ' '))"
done
echo "$failed of $runs runs failed"
[ "$failed" -eq 0 ]
