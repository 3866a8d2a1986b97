#!/usr/bin/env bash
# Takes the README's screenshots anew: runs the lookup end-to-end test, which copies its window
# screenshots into docs/screenshots. Run after ./test.sh has built the program.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$top/docs/screenshots"
cd "$top/build"
TORVANE_SCREENSHOTS="$top/docs/screenshots" \
  xvfb-run -a -s "-screen 0 1600x1200x24" ctest -R e2e_lookup --output-on-failure
