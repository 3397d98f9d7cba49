#!/usr/bin/env bash
# Pictures of the Win32 windows under Wine, on a private X server: the main
# window with two clips listed, the About window, the Setting window, and
# the progress window beside the main one in the middle of a run (the tests'
# stand-in converter, held at 30 % of its first clip). Run after
# scripts/windows-test.sh has built Clipvane.exe and the tests.
#
#   scripts/windows-screenshot.sh [--locale ja_JP.UTF-8] [path/to/Clipvane.exe]
#
# Writes main.png, about.png, setting.png and progress.png to
# build-windows/screenshots/, or to build-windows/screenshots/<locale>/ for a
# session in that locale (Wine takes the interface language from it).
set -euo pipefail
locale=C.UTF-8 subfolder=""
if [ "${1:-}" = --locale ]; then locale=$2 subfolder=/$2; shift 2; fi
export LANG=$locale LC_ALL=$locale

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"
exe=$(realpath "${1:-$root/build-windows/x86_64/Clipvane.exe}")
out=$root/build-windows/screenshots$subfolder
clipvane_install_packages wine wine64 xvfb xauth xdotool imagemagick
clipvane_install_locales

rm -rf "$out" && mkdir -p "$out/program" "$out/clips" "$out/converting"
cp "$exe" "$out/program/Clipvane.exe"
# The same program with the stand-in converter beside it, for the run.
cp "$exe" "$out/converting/Clipvane.exe"
cp "$(dirname "$exe")/tests/fake_ffmpeg.exe" "$out/converting/ffmpeg.exe"
echo clip >"$out/clips/Sports day.MTS"
echo clip >"$out/clips/Garden.MTS"
# A prefix per locale: Wine sets its fonts up for the locale it was made in.
export WINEPREFIX=$root/build-windows/screenshot-wine$subfolder HOME=$root/build-windows/screenshot-home
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINELOADER=/usr/lib/wine/wine64 out
mkdir -p "$HOME" "$(dirname "$WINEPREFIX")"

# Wine's own desktop window, so the windows have their title bars.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  shot() { sleep 2; import -window root -crop 800x600+0+0 "$out/$1.png"; }
  "$WINELOADER" wineboot -i >/dev/null 2>&1
  "$WINELOADER" explorer /desktop=Clipvane,800x600 "Z:$out/program/Clipvane.exe" \
    "Z:$out/clips/Sports day.MTS" "Z:$out/clips/Garden.MTS" >/dev/null 2>&1 &
  sleep 5
  shot main
  xdotool key Tab Return          # "About this software"
  shot about
  xdotool key Return Tab Return   # "Close", then "Setting"
  shot setting
  wineserver -k
  wineserver -w
  # START, then the progress window while the converter holds at 30 %.
  FAKE_FFMPEG_GATE="Z:$out/converting/step" "$WINELOADER" explorer /desktop=Clipvane,1024x768 \
    "Z:$out/converting/Clipvane.exe" "Z:$out/clips/Sports day.MTS" "Z:$out/clips/Garden.MTS" >/dev/null 2>&1 &
  sleep 5
  xdotool key Return
  sleep 6
  import -window root "$out/progress.png"
  wineserver -k'
ls "$out"/*.png
