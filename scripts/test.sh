#!/usr/bin/env bash
# Builds Clipvane and runs every test (installing what is missing).
set -euo pipefail
clipvane_root=$(cd "$(dirname "$0")/.." && pwd)
. "$clipvane_root/scripts/packages.sh"
clipvane_install_missing
# ffmpeg.exe for the Windows download takes minutes to build and needs nothing
# else built: it goes on beside the rest, taking only time the rest leaves
# idle. The download step waits for it.
converters=
stop_converters() { if [ -n "$converters" ]; then kill -- "-$converters" 2>/dev/null || true; fi; }
trap stop_converters EXIT
if [ -x "$clipvane_root/scripts/windows-test.sh" ] && [ "${CLIPVANE_SKIP_DOWNLOAD:-}" != 1 ]; then
  "$clipvane_root/scripts/windows-release.sh" --packages >/dev/null
  converters_log=${CLIPVANE_WINDOWS_BUILD:-$clipvane_root/build-windows}/converters.log
  mkdir -p "$(dirname "$converters_log")"
  release_arches="x86_64 i686"
  if [ "${CLIPVANE_SKIP_I686:-}" = 1 ]; then release_arches=x86_64; fi
  CLIPVANE_RELEASE_ARCHES=$release_arches setsid nice -n 19 "$clipvane_root/scripts/windows-release.sh" \
    --converters >"$converters_log" 2>&1 </dev/null &
  converters=$!
fi
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
# By now the download step has waited for it; a failure there was built again
# and told by that step.
if [ -n "$converters" ] && ! wait "$converters"; then
  echo "(the early ffmpeg.exe build had failed: $converters_log)"
fi
converters=
