#!/usr/bin/env bash
# Builds Clipvane and runs every test (installing what is missing).
set -euo pipefail
clipvane_root=$(cd "$(dirname "$0")/.." && pwd)
. "$clipvane_root/scripts/packages.sh"
clipvane_install_missing
# The Windows builds (two architectures' tests, and the download with its
# ffmpeg.exe) take many minutes and need nothing of the Linux ones: they go on
# beside the rest, at the lowest priority, taking only the time the rest
# leaves idle.
windows_build=
stop_windows_build() { if [ -n "$windows_build" ]; then kill -- "-$windows_build" 2>/dev/null || true; fi; }
trap stop_windows_build EXIT
if [ -x "$clipvane_root/scripts/windows-test.sh" ]; then
  "$clipvane_root/scripts/windows-test.sh" --packages
  windows_build_log=${CLIPVANE_WINDOWS_BUILD:-$clipvane_root/build-windows}/early-build.log
  mkdir -p "$(dirname "$windows_build_log")"
  # A session of its own (to be stopped as one) is also a scheduling group of
  # its own where the kernel groups by session: that group is lowered too, or
  # it would take half the processor whatever its programs' niceness.
  setsid sh -c 'echo 19 2>/dev/null >/proc/self/autogroup; exec nice -n 19 "$@"' sh \
    "$clipvane_root/scripts/windows-test.sh" --build >"$windows_build_log" 2>&1 </dev/null &
  windows_build=$!
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
  # The Windows tests start once the early build has ended, so that nothing is
  # built again beneath a test that runs it. What failed in it is built again,
  # and told, by the step that needs it.
  if [ -n "$windows_build" ] && ! wait "$windows_build"; then
    echo "(the early Windows build had failed: $windows_build_log)"
  fi
  windows_build=
  "$clipvane_root/scripts/windows-test.sh"
fi
