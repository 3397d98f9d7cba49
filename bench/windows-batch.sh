#!/usr/bin/env bash
# A Windows batch under Wine against its own converter alone: Clipvane.exe
# from START to FINISH on one clip of each kind in
# tests/support/camcorder-clips.txt, made here by Debian's ffmpeg, against
# the same ffmpeg.exe run on the same clips one after another, with
# Clipvane's own arguments. Prints the times (best of a few rounds) and
# their ratios: Clipvane.exe one clip at a time (CLIPVANE_CONVERTERS=1),
# what it costs beyond the converter's own work, and as many at once as it
# runs on the machine. After scripts/windows-test.sh (or its --build) and
# scripts/windows-release.sh:
#
#   bench/windows-batch.sh [x86_64|i686]
#
# CLIPVANE_BENCH_FFMPEG   the ffmpeg.exe (default build-windows/release/work/ARCH/ffmpeg.exe)
# CLIPVANE_BENCH_PROGRAM  the Clipvane.exe (default build-windows/ARCH/Clipvane.exe)
# CLIPVANE_BENCH_ROUNDS   rounds of each, the best kept (default 3)
#
# The window is driven by the end-to-end test program of the same build
# (test WindowsDownload.*), on a private X server, in a Wine prefix of its
# own. i686 needs 32-bit Wine (scripts/windows-test.sh installs it where the
# machine runs 32-bit programs).
set -euo pipefail
export LANG=C.UTF-8 LC_ALL=C.UTF-8
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = --inside ]; then
  # Under xvfb-run: Wine's services start on its display, then both runs.
  wineserver -p
  "$WINELOADER" cmd /c exit >/dev/null 2>&1 </dev/null
  desktop=$WINEPREFIX/drive_c/users/$(id -un)/Desktop
  out=$WINEPREFIX/drive_c/alone
  mkdir -p "$out"
  windows() { printf 'Z:%s' "${1//\//\\}"; }
  # Clipvane's converter arguments, as convert::BatchRun::ConverterArguments has them.
  filters="idet=analyze_interlaced_flag=10,bwdif=mode=send_frame:deint=interlaced"
  alone() {
    local clip n=0
    for clip in "$clips"/*; do
      n=$((n + 1))
      "$WINELOADER" "$program_folder/ffmpeg.exe" -y -i "$(windows "$clip")" -vf "$filters" -pix_fmt yuv420p \
        -ac 2 -b:a 160k -f mp4 'C:\alone\'"$n.mp4" >/dev/null 2>&1 </dev/null || {
        echo "ffmpeg.exe failed on $clip" >&2
        return 1
      }
    done
  }
  batch() {
    rm -f "$desktop"/*.mp4
    CLIPVANE_CONVERTERS=$1 CLIPVANE_RELEASE_PROGRAM=$(windows "$program_folder/Clipvane.exe") CLIPVANE_RELEASE_CLIPS=$(windows "$clips") \
      CLIPVANE_RELEASE_REPORT=$(windows "$work/report.txt") \
      "$WINELOADER" "$tests" --gtest_filter='WindowsDownload.*' >"$work/run.log" 2>&1 || {
      cat "$work/run.log" >&2
      return 1
    }
    sed -n 's/^START to FINISH: \([0-9.]*\) s.*/\1/p' "$work/run.log"
  }
  best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b < a ? b : a) }'; }
  best_alone=999999 best_serial=999999 best_batch=999999
  for round in $(seq "$rounds"); do
    start=$(date +%s.%N)
    alone
    end=$(date +%s.%N)
    took=$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')
    serial=$(batch 1)
    batched=$(batch "")
    printf '   round %d: ffmpeg.exe alone %6.2f s, Clipvane.exe one at a time %6.2f s, at once %6.2f s\n' \
      "$round" "$took" "$serial" "$batched"
    best_alone=$(best "$best_alone" "$took")
    best_serial=$(best "$best_serial" "$serial")
    best_batch=$(best "$best_batch" "$batched")
  done
  wineserver -k
  echo "$best_alone $best_serial $best_batch" >"$work/best"
  exit 0
fi

arch=${1:-x86_64}
case $arch in
  x86_64) loader=/usr/lib/wine/wine64 ;;
  i686) loader=$(command -v wine) ;;  # the wrapper runs both kinds
  *) echo "Unknown architecture: $arch" >&2; exit 2 ;;
esac
ffmpeg_exe=$(realpath "${CLIPVANE_BENCH_FFMPEG:-$root/build-windows/release/work/$arch/ffmpeg.exe}")
program=$(realpath "${CLIPVANE_BENCH_PROGRAM:-$root/build-windows/$arch/Clipvane.exe}")
tests=$(realpath "$root/build-windows/$arch/tests/win32_end_to_end_tests.exe")
export rounds=${CLIPVANE_BENCH_ROUNDS:-3}
for file in "$ffmpeg_exe" "$program" "$tests"; do
  [ -f "$file" ] || { echo "Missing: $file" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/clipvane-batch-bench.XXXXXX")
export work
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix HOME=$work/home WINELOADER=$loader
export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w
# The user folders as folders, not links into $HOME; top-level windows
# unmanaged, as scripts/windows-test.sh has them.
for folder in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$folder" ]; then rm "$folder" && mkdir "$folder"; fi
done
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
wineserver -w

# The program's folder as a user has it: Clipvane.exe and ffmpeg.exe.
export program_folder=$work/Clipvane clips=$work/Clips tests
mkdir -p "$program_folder" "$clips"
cp "$program" "$program_folder/Clipvane.exe"
cp "$ffmpeg_exe" "$program_folder/ffmpeg.exe"
count=0
while IFS='|' read -r name video args _; do
  name=$(echo $name)
  # shellcheck disable=SC2086 # the arguments are words
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=size=${video// /}" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 1 $args "$clips/$name"
  count=$((count + 1))
done < <(grep -v '^#' "$root/tests/support/camcorder-clips.txt")

xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --inside
read -r alone serial batch <"$work/best"
echo "$count clips (tests/support/camcorder-clips.txt), $arch, best of $rounds"
printf 'ffmpeg.exe alone, one after another  %6.2f s  (%s)\n' "$alone" "$ffmpeg_exe"
printf 'Clipvane.exe, one clip at a time     %6.2f s  ratio %.2f (goal: at most 1.10)\n' "$serial" \
  "$(awk -v a="$alone" -v b="$serial" 'BEGIN { print b / a }')"
printf 'Clipvane.exe, clips at once          %6.2f s  ratio %.2f\n' "$batch" \
  "$(awk -v a="$alone" -v b="$batch" 'BEGIN { print b / a }')"
