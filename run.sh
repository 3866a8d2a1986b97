#!/usr/bin/env bash
# Installs what is missing, builds, and starts Torvane.
set -euo pipefail
top="$(cd "$(dirname "$0")" && pwd)"
"$top/tools/setup.sh"
exec "$top/build/app/torvane" "$@"
