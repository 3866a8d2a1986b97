#!/bin/sh
# Rebuild the map images in data/Maps from the pinned Natural Earth data in tools/maps/input
# (npm package world-atlas@2.0.2: countries-50m.json and countries-10m.json).
# Usage: tools/maps/make-maps.sh [MAP NAME...]    e.g. tools/maps/make-maps.sh "UK Map"
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${TORVANE_MAPGEN_BUILD:-"$root/build-mapgen"}
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target torvane_mapgen
QT_QPA_PLATFORM=offscreen "$build/tools/maps/torvane_mapgen" \
  "$root/tools/maps/input" "$root/data/Maps" "$@"
