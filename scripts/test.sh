#!/usr/bin/env bash
# Builds Clipvane and runs every test (installing what is missing).
set -euo pipefail
clipvane_root=$(cd "$(dirname "$0")/.." && pwd)
. "$clipvane_root/scripts/packages.sh"
clipvane_install_missing
# The layout of the lines changed lately, first: it takes a second.
"$clipvane_root/scripts/format-check.sh"
clipvane_build "$clipvane_root/build" -DCLIPVANE_BUILD_BENCH=ON
cd "$clipvane_root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel 2 --timeout 600
# Again under AddressSanitizer and UndefinedBehaviorSanitizer (clang), which
# also builds the fuzz targets; each of them then runs for 20 seconds. The
# smoke test, the package, the 1,000-file run and the gigabyte delivery measure
# the program as shipped (their timings and sizes mean nothing when
# instrumented), so they run in the ordinary build only; so does the check of
# the catalogues, which reads the sources, not the build.
clipvane_configure_sanitized "$clipvane_root/build-sanitize"
cmake --build "$clipvane_root/build-sanitize" --parallel "$(nproc)"
(cd "$clipvane_root/build-sanitize" &&
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel 2 --timeout 600 \
     -E '^(smoke|debian_package|LongBatchTest|DeliveryAcrossFileSystems|translations)')
CLIPVANE_FUZZ_PREBUILT=1 "$clipvane_root/scripts/fuzz.sh" --seconds 20
if [ -x "$clipvane_root/scripts/windows-test.sh" ]; then
  "$clipvane_root/scripts/windows-test.sh"
fi
