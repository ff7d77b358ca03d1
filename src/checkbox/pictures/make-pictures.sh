#!/usr/bin/env bash
# Draws the two built-in feedback pictures, shown when the picture files next
# to the exercise cannot be loaded. Needs ImageMagick; run it from anywhere
# and commit what it writes.
set -euo pipefail
cd "$(dirname "$0")"

# Metadata with dates is left out so that a rerun writes the same bytes.
png=(-strip -define png:exclude-chunks=date,time)

# A smiling face, for a set passed.
convert -size 96x80 xc:white \
    -fill '#ffd21f' -stroke '#8a5a00' -strokewidth 3 -draw 'circle 48,40 48,6' \
    -fill '#3a2a00' -stroke none -draw 'ellipse 36,30 4,6 0,360' -draw 'ellipse 60,30 4,6 0,360' \
    -fill none -stroke '#3a2a00' -strokewidth 4 -draw 'arc 28,30 68,62 20,160' \
    "${png[@]}" face2.png

# A colourful pattern of stripes and rings, for a set not passed.
convert -size 96x80 xc:white \
    -stroke none \
    -fill '#e63946' -draw 'rectangle 0,0 15,79' \
    -fill '#f4a261' -draw 'rectangle 16,0 31,79' \
    -fill '#e9c46a' -draw 'rectangle 32,0 47,79' \
    -fill '#2a9d8f' -draw 'rectangle 48,0 63,79' \
    -fill '#457b9d' -draw 'rectangle 64,0 79,79' \
    -fill '#8e44ad' -draw 'rectangle 80,0 95,79' \
    -fill none -stroke white -strokewidth 5 -draw 'circle 48,40 48,10' -draw 'circle 48,40 48,25' \
    "${png[@]}" color2.png
