#!/bin/sh
# Draws the program's emblem (a blue tile, a white ring open to the right, a gold
# diamond in it) with ImageMagick into mainicon.ico, at 16, 32 and 48 pixels.
# Run it again after changing the drawing; the build reads only the .ico.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Drawn once on a 256-pixel canvas, then reduced with an averaging filter so
# that the small sizes keep clean edges.
convert -size 256x256 xc:none \
    -fill '#1d5b8f' -draw 'roundrectangle 8,8 247,247 44,44' \
    -fill white -draw 'circle 128,128 128,40' \
    -fill '#1d5b8f' -draw 'circle 128,128 128,76' -draw 'polygon 128,128 248,60 248,196' \
    -fill '#f2b632' -draw 'polygon 128,100 156,128 128,156 100,128' \
    "$work/emblem.png"

for size in 16 32 48; do
    convert "$work/emblem.png" -filter Box -resize ${size}x${size} "$work/emblem-$size.png"
done
convert "$work/emblem-16.png" "$work/emblem-32.png" "$work/emblem-48.png" mainicon.ico
