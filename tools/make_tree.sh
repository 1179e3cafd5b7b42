#!/usr/bin/env bash
# Lays the installation tree out from assets/: copies the plain files and
# renders the pictures. Usage: make_tree.sh ASSETS TREE GENERATED
set -euo pipefail
assets=$1 tree=$2 gen=$3
mkdir -p "$tree" "$gen" "$tree/RES/desktop" "$tree/TEMP/cust" "$tree/WORK/macro" "$tree/WORK/unit"
cp -r "$assets/tree/." "$tree/"
im=/usr/bin/convert
[ -x "$im" ] || { echo "make_tree: ImageMagick (/usr/bin/convert) is missing" >&2; exit 1; }
for svg in "$assets"/desktop/back*.svg; do
  n=$(basename "$svg" .svg)
  out=$tree/RES/desktop/$n.jpg
  if [ ! -f "$out" ] || [ "$svg" -nt "$out" ]; then
    rsvg-convert -w 1920 -h 1080 "$svg" -o "$gen/$n.png"
    "$im" "$gen/$n.png" -quality 92 -sampling-factor 1x1 "$out"
  fi
done
icon=$gen/file.ico
if [ ! -f "$icon" ] || [ "$assets/icon/file.svg" -nt "$icon" ]; then
  for s in 16 32 48 256; do rsvg-convert -w $s -h $s "$assets/icon/file.svg" -o "$gen/icon$s.png"; done
  "$im" "$gen/icon16.png" "$gen/icon32.png" "$gen/icon48.png" "$gen/icon256.png" "$icon"
fi
cp "$icon" "$tree/file.ico"
