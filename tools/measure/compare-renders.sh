#!/usr/bin/env bash
# Compares what two tessaryn-render binaries draw, byte for byte, in each of the three
# windows at a fixed time and seed. Exits non-zero on any difference.
#
#   tools/measure/compare-renders.sh pictures BEFORE/tessaryn-render AFTER/tessaryn-render [WxH...]
#       the PNGs of every dial style 0-10 (each with a different hand style) and every
#       hand style 1-10 without a dial, after the first frame and after the third (a kept
#       dial is put back from the second on); sizes default to 1024x768 1920x1080
#   tools/measure/compare-renders.sh traces BEFORE/tessaryn-render AFTER/tessaryn-render [WxH]
#       the OpenGL call traces of every dial style 0-10 with every hand style 1-10 over
#       three frames; the size defaults to 1024x768
set -euo pipefail
kind=${1:-}
before=${2:-}
after=${3:-}
if [[ ! "$kind" =~ ^(pictures|traces)$ ]] || [ -z "$after" ]; then
  sed -n '2,12p' "$0" >&2
  exit 2
fi
shift 3
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1024x768 1920x1080)
[ "$kind" = pictures ] || sizes=("${sizes[0]}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "DIAL HANDS FRAMES" lines.
cases() {
  local dial hands frames
  if [ "$kind" = pictures ]; then
    for frames in 1 3; do
      for dial in 0 1 2 3 4 5 6 7 8 9 10; do echo "$dial $((dial % 10 + 1)) $frames"; done
      for hands in 1 2 3 4 5 6 7 8 9 10; do echo "0 $hands $frames"; done
    done
  else
    for dial in 0 1 2 3 4 5 6 7 8 9 10; do
      for hands in 1 2 3 4 5 6 7 8 9 10; do echo "$dial $hands 3"; done
    done
  fi
}

output=(--png)
[ "$kind" = pictures ] || output=(--trace)
count=0
differ=0
for size in "${sizes[@]}"; do
  for window in saver settings preview; do
    while read -r dial hands frames; do
      args=(--window "$window" --dial "$dial" --hands "$hands" --time 10:08:37 --seed 4242
            --frames "$frames" --width "${size%x*}" --height "${size#*x}")
      "$before" "${args[@]}" "${output[@]}" "$work/before" >/dev/null
      "$after" "${args[@]}" "${output[@]}" "$work/after" >/dev/null
      count=$((count + 1))
      if ! cmp -s "$work/before" "$work/after"; then
        echo "differs: ${args[*]}"
        differ=$((differ + 1))
      fi
    done < <(cases)
  done
done
echo "compared $count $kind at ${sizes[*]}: $differ differ"
[ "$differ" -eq 0 ]
