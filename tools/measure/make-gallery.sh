#!/usr/bin/env bash
# Remakes the README's gallery under docs/gallery/: one picture per dial style and one
# per hand style, drawn by tessaryn-render at a fixed time and seed.
#   bash tools/measure/make-gallery.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh

render=build/native/tools/render/tessaryn-render
build native tessaryn-render

out=docs/gallery
mkdir -p "$out"
common=(--time 10:08:37 --seed 2024 --width 240 --height 180)

for n in $(seq 1 10); do
  # Dial style 1 drifts from frame to frame; a few frames show it under way.
  "$render" "${common[@]}" --dial "$n" --dial-color 1 --hands 8 --hand-color 5 --frames 3 \
    --png "$out/dial-$(printf %02d "$n").png"
  "$render" "${common[@]}" --dial 0 --hands "$n" --hand-color 5 \
    --png "$out/hands-$(printf %02d "$n").png"
done
echo "gallery: $(ls "$out"/*.png | wc -l) pictures in $out"
