#!/usr/bin/env bash
# Makes the PNG icons from torvane.svg (rsvg-convert, Debian package librsvg2-bin); run after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 128 256; do
  rsvg-convert -w "$size" -h "$size" torvane.svg -o "icons/torvane-$size.png"
done
