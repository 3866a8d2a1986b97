#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (under a virtual X display).
set -euo pipefail
top="$(cd "$(dirname "$0")" && pwd)"
"$top/tools/setup.sh"
cd "$top/build"
xvfb-run -a -s "-screen 0 1600x1200x24" ctest -j "$(nproc)" --output-on-failure --timeout 600 "$@"
# A short fixed run of the fuzz targets; a chosen subset of the tests skips it.
if [ $# -eq 0 ]; then
  "$top/fuzz/run.sh" smoke
fi
