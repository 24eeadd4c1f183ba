#!/usr/bin/env bash
# Compares the pictures of two tessaryn-render binaries byte for byte: every dial style
# 0-10 and every hand style 1-10 (each dial with a different hand style, and each hand
# style once without a dial) in each of the three windows, at a fixed time and seed,
# after the first frame and after the third (a kept dial is put back from the second
# on), at 1024 x 768 and 1920 x 1080. Exits non-zero on any difference.
#   tools/compare-pictures.sh BEFORE/tessaryn-render AFTER/tessaryn-render [SIZES...]
# SIZES are WxH (default: 1024x768 1920x1080).
set -euo pipefail
before=$1
after=$2
shift 2
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1024x768 1920x1080)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cases=()
for dial in 0 1 2 3 4 5 6 7 8 9 10; do
  cases+=("$dial $((dial % 10 + 1))")
done
for hands in 1 2 3 4 5 6 7 8 9 10; do
  cases+=("0 $hands")
done

count=0
differ=0
for size in "${sizes[@]}"; do
  for window in saver settings preview; do
    for c in "${cases[@]}"; do
      read -r dial hands <<<"$c"
      for frames in 1 3; do
        args=(--window "$window" --dial "$dial" --hands "$hands" --time 10:08:37 --seed 4242
              --frames "$frames" --width "${size%x*}" --height "${size#*x}")
        "$before" "${args[@]}" --png "$work/before.png" >/dev/null
        "$after" "${args[@]}" --png "$work/after.png" >/dev/null
        count=$((count + 1))
        if ! cmp -s "$work/before.png" "$work/after.png"; then
          echo "differs: ${args[*]}"
          differ=$((differ + 1))
        fi
      done
    done
  done
done
echo "compared $count pictures: $differ differ"
[ "$differ" -eq 0 ]
