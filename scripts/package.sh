#!/usr/bin/env bash
# Builds the Debian package build-package/clipvane_<version>_amd64.deb
# (installing what is missing); its dependencies come from the binary, plus ffmpeg.
set -euo pipefail
clipvane_root=$(cd "$(dirname "$0")/.." && pwd)
. "$clipvane_root/scripts/packages.sh"
clipvane_install_missing
build=$clipvane_root/build-package
clipvane_build "$build" -DCMAKE_BUILD_TYPE=Release -DCLIPVANE_BUILD_TESTS=OFF -DCLIPVANE_BUILD_BENCH=OFF
(cd "$build" && cpack -G DEB)
ls "$build"/clipvane_*.deb
