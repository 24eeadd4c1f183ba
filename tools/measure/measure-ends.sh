#!/usr/bin/env bash
# Measures how soon the real program ends or gives up, which the tests check only to
# happen (a loaded machine may take any time): the password-change mode from its start to
# its end, the preview from the destruction of its area to its end, and the
# synchronisation's error window from the press to the window, per kind of failure (the
# silent server's includes the 5 s connect time-out). Runs the end-to-end tests that print
# these figures RUNS times in one Wine session and prints, per figure, the least, the
# median and the most, in milliseconds.
#   tools/measure/measure-ends.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh
runs=${1:-5}

build win32 e2e_tests

filter='*PasswordChangeMode.EndsAndLeavesTheRegistryAlone/*'
filter+=':PreviewInTheDialog.EndsWhenTheDialogDestroysTheArea'
filter+=':ClockSynchronization.UnreachableServerOpensTheErrorWindowAfterTheTimeOut'
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
tools/testbed/wine-run.sh --session --prefix build/measure-ends/wineprefix \
  tools/testbed/wine-run.sh build/win32/tests/e2e/e2e_tests.exe --gtest_filter="$filter" --gtest_repeat="$runs" \
  >"$out" 2>&1 || status=$?
[ "$status" -eq 0 ] || { grep -E "FAILED|Failure" "$out" || true; echo "tests failed: $status"; }

# Lines "figure: NAME [CASE WORDS] MS"; the name and case are the figure's label.
grep -a "^figure: " "$out" | tr -d '\r' | sed 's/^figure: //' | awk '
  { label = $1; for (i = 2; i < NF; i++) label = label " " $i; v[label] = v[label] " " $NF }
  END { for (l in v) print l "\t" v[l] }' | sort | while IFS=$'\t' read -r label values; do
  read -r -a sorted <<<"$(tr ' ' '\n' <<<"$values" | sed '/^$/d' | sort -n | tr '\n' ' ')"
  n=${#sorted[@]}
  printf "%-60s %3d runs  least %6d  median %6d  most %6d ms\n" "$label" "$n" \
    "${sorted[0]}" "${sorted[$((n / 2))]}" "${sorted[$((n - 1))]}"
done
exit "$status"
