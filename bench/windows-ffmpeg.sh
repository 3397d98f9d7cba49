#!/usr/bin/env bash
# The ffmpeg.exe of the Windows download under Wine against Debian's ffmpeg
# on Linux, on a 10-second 1080i AVCHD clip, with Clipvane's own arguments:
# the time of each (best of three) and their ratio. After
# scripts/windows-release.sh:
#
#   bench/windows-ffmpeg.sh [build-windows/release/work/x86_64/ffmpeg.exe]
#   bench/windows-ffmpeg.sh build-windows/release/work/i686/ffmpeg.exe
#
# A 32-bit ffmpeg.exe needs 32-bit Wine (scripts/windows-test.sh installs it
# where the machine runs 32-bit programs).
set -euo pipefail
export LANG=C.UTF-8 LC_ALL=C.UTF-8
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "${1:-$root/build-windows/release/work/x86_64/ffmpeg.exe}")
loader=/usr/lib/wine/wine64
# The "wine" wrapper runs both kinds; the 64-bit loader only its own.
if x86_64-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-i386'; then loader=wine; fi
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w

ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1920x1080:rate=30000/1001 \
  -f lavfi -i sine=frequency=440:sample_rate=48000 -t 10 -ac 2 -c:v libx264 -preset veryfast \
  -b:v 17M -flags +ildct+ilme -pix_fmt yuv420p -c:a ac3 -b:a 256k -f mpegts -mpegts_m2ts_mode 1 \
  "$work/00000.MTS"

best() {
  local best=999999 i start end
  for i in 1 2 3; do
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 </dev/null
    end=$(date +%s.%N)
    best=$(awk -v a="$best" -v b="$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')" \
      'BEGIN { print (b < a ? b : a) }')
  done
  echo "$best"
}
linux=$(best ffmpeg -nostdin -y -i "$work/00000.MTS" -f mp4 "$work/linux.mp4")
windows=$(best "$loader" "$exe" -y -i 'Z:'"${work//\//\\}"'\00000.MTS' -f mp4 \
  'Z:'"${work//\//\\}"'\windows.mp4')
printf 'Debian ffmpeg on Linux   %6.2f s\n' "$linux"
printf 'ffmpeg.exe under Wine    %6.2f s  (%s)\n' "$windows" "$exe"
awk -v l="$linux" -v w="$windows" 'BEGIN { printf "ratio (Wine / Linux)     %6.2f\n", w / l }'
for f in linux windows; do
  ffmpeg -v error -i "$work/$f.mp4" -map 0 -c copy -f streamhash - | md5sum | sed "s/ .*/  $f packets/"
done
# How far the picture is from Debian's when the packets differ (1 = the same).
ffmpeg -nostdin -i "$work/windows.mp4" -i "$work/linux.mp4" -lavfi ssim -f null - 2>&1 |
  sed -n 's/.*SSIM \(.*\)/SSIM against Linux       \1/p'
