#!/usr/bin/env bash
# Draws the program's icon (a clock face at three o'clock, in the colours of the
# saver's hands) and writes res/tessaryn.ico with the sizes Windows asks for: 16, 32
# and 48 pixels, and 256 for large views. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/../.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The art at 256 pixels; the smaller sizes are scaled down from it.
convert -size 256x256 xc:none \
  -fill 'rgb(210,210,220)' -draw 'circle 128,128 128,6' \
  -fill 'rgb(30,32,41)' -draw 'circle 128,128 128,26' \
  -stroke 'rgb(255,180,0)' -strokewidth 22 -draw 'line 128,128 128,44' \
  -draw 'line 128,128 196,128' \
  -stroke none -fill 'rgb(255,180,0)' -draw 'circle 128,128 128,117' \
  "$work/256.png"
for size in 16 32 48; do
  convert "$work/256.png" -filter Lanczos -resize "${size}x${size}" "$work/$size.png"
done
convert "$work/16.png" "$work/32.png" "$work/48.png" "$work/256.png" -depth 8 res/tessaryn.ico
identify res/tessaryn.ico
