#!/usr/bin/env bash
# Builds Clipvane (installing what is missing) and starts it with any files given.
set -euo pipefail
clipvane_root=$(cd "$(dirname "$0")/.." && pwd)
. "$clipvane_root/scripts/packages.sh"
clipvane_install_missing
clipvane_build "$clipvane_root/build" -DCLIPVANE_BUILD_BENCH=OFF
exec "$clipvane_root/build/clipvane" "$@"
