#!/bin/sh
# Renders the application icon (platform/qt/korvel.svg) into the PNG sizes of the hicolor theme and the
# Windows icon. The results are kept in the repository, so building needs neither tool; run this after
# changing the picture (needs librsvg2-bin and icoutils).
set -eu
cd "$(dirname "$0")/.."
out=platform/icons
mkdir -p "$out"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" platform/qt/korvel.svg -o "$out/korvel-$size.png"
done
icotool -c -o "$out/korvel.ico" "$out"/korvel-16.png "$out"/korvel-24.png "$out"/korvel-32.png \
  "$out"/korvel-48.png "$out"/korvel-64.png -r "$out"/korvel-256.png
