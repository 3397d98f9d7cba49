#!/usr/bin/env bash
# Builds Clipvane and runs every test (installing what is missing).
set -euo pipefail
clipvane_root=$(cd "$(dirname "$0")/.." && pwd)
. "$clipvane_root/scripts/packages.sh"
clipvane_install_missing
clipvane_build "$clipvane_root/build" -DCLIPVANE_BUILD_BENCH=ON
cd "$clipvane_root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel 2 --timeout 600
if [ -x "$clipvane_root/scripts/windows-test.sh" ]; then
  "$clipvane_root/scripts/windows-test.sh"
fi
