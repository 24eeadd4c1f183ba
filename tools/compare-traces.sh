#!/usr/bin/env bash
# Compares the OpenGL call traces of two tessaryn-render binaries: every dial style 0-10
# with every hand style 1-10 in each of the three windows, at a fixed time and seed, over
# three frames (a kept dial shows from the second on). Exits non-zero on any difference.
#   tools/compare-traces.sh BEFORE/tessaryn-render AFTER/tessaryn-render [W H]
set -euo pipefail
before=$1
after=$2
width=${3:-1024}
height=${4:-768}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

count=0
differ=0
for window in saver settings preview; do
  for dial in 0 1 2 3 4 5 6 7 8 9 10; do
    for hands in 1 2 3 4 5 6 7 8 9 10; do
      args=(--window "$window" --dial "$dial" --hands "$hands" --time 10:08:37 --seed 4242
            --frames 3 --width "$width" --height "$height")
      "$before" "${args[@]}" --trace "$work/before" >/dev/null
      "$after" "${args[@]}" --trace "$work/after" >/dev/null
      count=$((count + 1))
      if ! cmp -s "$work/before" "$work/after"; then
        echo "differs: ${args[*]}"
        differ=$((differ + 1))
      fi
    done
  done
done
echo "compared $count traces at ${width}x${height}: $differ differ"
[ "$differ" -eq 0 ]
