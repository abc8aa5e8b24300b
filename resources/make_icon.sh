#!/usr/bin/env bash
# Draws the program icon (a white note on a blue badge with a red recording dot) and writes
# melvora.ico with 48, 32 and 16 pixel images. Needs ImageMagick; the output is committed.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
    -fill '#1c3f86' -draw 'roundrectangle 8,8 247,247 48,48' \
    -fill '#3f78cf' -draw 'roundrectangle 18,18 237,237 40,40' \
    -fill '#6fa3ea' -draw 'roundrectangle 18,18 237,110 40,40' \
    -fill white -draw 'ellipse 98,182 40,30 -25,340' \
    -fill white -draw 'rectangle 124,52 142,178' \
    -fill white -draw 'polygon 142,52 200,90 200,130 142,96' \
    -fill '#e23b2e' -stroke white -strokewidth 8 -draw 'circle 196,196 196,224' \
    "$tmp/icon256.png"
for s in 48 32 16; do
    convert "$tmp/icon256.png" -resize ${s}x${s} "$tmp/icon$s.png"
done
convert "$tmp/icon48.png" "$tmp/icon32.png" "$tmp/icon16.png" melvora.ico
