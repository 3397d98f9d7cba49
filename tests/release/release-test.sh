#!/usr/bin/env bash
# The Windows download as a user gets it. The zip is unpacked into a fresh
# folder outside the build tree and its two programs are checked (the
# architecture, system DLLs only). Then, given the end-to-end test program,
# the unpacked Clipvane.exe converts real camcorder clips made here by
# Debian's ffmpeg (AVCHD, and one of every other kind in
# tests/support/camcorder-clips.txt), with its own ffmpeg.exe, under Wine;
# the results on the Desktop are checked with ffprobe (what an iPhone plays;
# progressive pictures, by ffmpeg's idet, from interlaced clips and those
# stored with interlaced flags)
# and against what Debian's ffmpeg makes of the same clips with the same
# arguments, or with "-y -i IN -f mp4 OUT" for the progressive ones it leaves
# untouched.
#
#   tests/release/release-test.sh ZIP ARCH [win32_end_to_end_tests.exe]
#
# Runs in a Wine prefix of its own (WINEPREFIX, WINELOADER) on an X display,
# as scripts/windows-test.sh arranges it. The x86_64 run keeps its results'
# packets beside the zip, for the i686 run that follows it.
set -euo pipefail
zip=$1 arch=$2 tests=${3:-}
case $arch in
  x86_64) triplet=x86_64-w64-mingw32 format=pei-x86-64 ;;
  i686) triplet=i686-w64-mingw32 format=pei-i386 ;;
  *) echo "Unknown architecture: $arch" >&2; exit 2 ;;
esac
failures=()
fail() { echo "FAIL: $*"; failures+=("$1"); }

folder=$(mktemp -d "${TMPDIR:-/tmp}/clipvane-download.XXXXXX")
unzip -q "$zip" -d "$folder"
program=$folder/Clipvane

expected="Clipvane
Clipvane/Clipvane.exe
Clipvane/README.txt
Clipvane/ffmpeg.exe
Clipvane/licenses
Clipvane/licenses/FFmpeg-LICENSE.txt
Clipvane/licenses/FFmpeg-copyright.txt
Clipvane/licenses/GPL-2.txt
Clipvane/licenses/NOTICE.txt
Clipvane/licenses/x264-copyright.txt"
[ "$(cd "$folder" && find Clipvane | LC_ALL=C sort)" = "$expected" ] ||
  fail "the zip holds: $(cd "$folder" && find Clipvane | LC_ALL=C sort | tr '\n' ' ')"

# What any Windows since 7 has; no MinGW runtime, no codec library.
system_dlls="kernel32.dll user32.dll gdi32.dll shell32.dll ole32.dll oleaut32.dll advapi32.dll
comctl32.dll comdlg32.dll shlwapi.dll uxtheme.dll msvcrt.dll bcrypt.dll"
for exe in Clipvane.exe ffmpeg.exe; do
  headers=$("$triplet-objdump" -p "$program/$exe")
  grep -q "file format $format" <<<"$headers" || fail "$exe is not $format"
  if "$triplet-objdump" -h "$program/$exe" | grep -q '\.debug_'; then fail "$exe carries debug information"; fi
  for dll in $(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z'); do
    grep -qw "$dll" <<<"$system_dlls" || fail "$exe imports $dll"
  done
done

if [ -z "$tests" ]; then
  [ ${#failures[@]} -eq 0 ] && rm -rf "$folder" && echo "The $arch zip: checked (not run)" && exit 0
  exit 1
fi

# Clips as camcorders write them: M2TS with 192-byte packets, and the
# recording date in the stream's MDPM data (zone in half hours, then BCD).
clips=$folder/Clips
mkdir -p "$clips"
make_clip() {
  local name=$1 rate=$2 audio=$3 mdpm=$4
  shift 4
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=size=1920x1080:rate=$rate" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 2 \
    -c:v libx264 -preset ultrafast -pix_fmt yuv420p "$@" \
    -bsf:v "h264_metadata=sei_user_data=17ee8c60-f84d-11d9-8cd6-0800200c9a66+MDPM$mdpm" \
    -c:a "$audio" -f mpegts -mpegts_m2ts_mode 1 "$clips/$name"
}
# 2024-05-17 14:30:15 at UTC+9; 2011-12-31 23:59:59 at UTC-5; 2019-07-04 11:22:33 at UTC+1.
# The first two have 5.1 sound, AC-3 and LPCM, as many AVCHD camcorders record.
make_clip "00000.MTS" 30000/1001 ac3 $'\x02\x18\x12\x20\x24\x05\x19\x17\x14\x30\x15' -flags +ildct+ilme -ac 6
make_clip "00001.MTS" 30000/1001 pcm_bluray $'\x02\x18\x2a\x20\x11\x12\x19\x31\x23\x59\x59' -flags +ildct+ilme -ac 6
make_clip "Beach 50p.M2TS" 50 ac3 $'\x02\x18\x02\x20\x19\x07\x19\x04\x11\x22\x33' -ac 2
# The AVCHD ones are progressive: two stored with interlaced flags. (The
# test pattern at 50 frames a second reads as interlaced to idet even as it is.)
declare -A marks=(["00000"]=untouched ["00001"]=untouched ["Beach 50p"]=progressive)
# The other kinds, 1 s each.
while IFS='|' read -r name video args mark; do
  name=$(echo $name)
  # shellcheck disable=SC2086 # the arguments are words
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=size=${video// /}" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 1 $args "$clips/$name"
  marks[${name%.*}]=$(echo $mark)
done < <(grep -v '^#' "$(dirname "$0")/../support/camcorder-clips.txt")
# One interlaced recording that the camera split in three, in mid-GOP at
# 192-byte packets: one result, named after the first piece, as the whole.
mkdir -p "$folder/whole"
whole="$folder/whole/Party 1.MTS"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=size=640x360:rate=60000/1001" -f lavfi -i sine -t 3 \
  -vf tinterlace=interleave_top -c:v libx264 -preset ultrafast -g 90 -flags +ildct+ilme -pix_fmt yuv420p \
  -c:a ac3 -f mpegts -mpegts_m2ts_mode 1 "$whole"
size=$(stat -c %s "$whole") cut1=$((size / 3 / 192 * 192)) cut2=$((size * 2 / 3 / 192 * 192))
dd if="$whole" of="$clips/Party 1.MTS" bs=192 count=$((cut1 / 192)) status=none
dd if="$whole" of="$clips/Party 2.MTS" bs=192 skip=$((cut1 / 192)) count=$(((cut2 - cut1) / 192)) status=none
dd if="$whole" of="$clips/Party 3.MTS" bs=192 skip=$((cut2 / 192)) status=none
marks["Party 2"]=joined marks["Party 3"]=joined
declare -A recorded=(
  ["00000"]=2024-05-17T05:30:15.000000Z
  ["00001"]=2012-01-01T04:59:59.000000Z
  ["Beach 50p"]=2019-07-04T10:22:33.000000Z
)

windows_path() { "$WINELOADER" winepath -w "$1" 2>/dev/null; }
report=$folder/report.txt
CLIPVANE_RELEASE_PROGRAM=$(windows_path "$program/Clipvane.exe") \
CLIPVANE_RELEASE_CLIPS=$(windows_path "$clips") \
CLIPVANE_RELEASE_REPORT=$(windows_path "$report") \
  "$WINELOADER" "$tests" --gtest_filter='WindowsDownload.*' >"$folder/run.log" 2>&1 ||
  { cat "$folder/run.log"; fail "Clipvane.exe did not convert every clip"; }
desktop=$("$WINELOADER" winepath -u "$(head -n 1 "$report" | tr -d '\r')" 2>/dev/null)

probe() { ffprobe -v error "$@"; }
duration() { probe -show_entries format=duration -of default=nw=1:nk=1 "$1"; }
hashes() { ffmpeg -nostdin -v error -i "$1" -map 0 -c copy -f streamhash -; }
# idet's count of a file's frames: "TFF BFF progressive undetermined".
idet() {
  ffmpeg -nostdin -i "$1" -vf idet -f null - 2>&1 | sed -n 's/.*Multi frame detection: //p' | tr -dc '0-9 '
}
# Clipvane's converter arguments between the input and "-f mp4", as
# convert::BatchRun::ConverterArguments has them.
sound=(-ac 2 -b:a 160k)
converter=(-vf "idet=analyze_interlaced_flag=10,bwdif=mode=send_frame:deint=interlaced" -pix_fmt yuv420p "${sound[@]}")

# The same version on both sides makes the same packets; after an update of
# one of them only the kinds of stream and the durations can be compared.
windows_version=$(sed -n 's/.*FFmpeg \([^ ]*\) with x264.*/\1/p' "$program/README.txt")
linux_version=$(dpkg-query -W -f='${Version}' ffmpeg | sed 's/^[0-9]*://')
same_version=0
[ "$windows_version" = "$linux_version" ] && same_version=1 ||
  echo "NOTE: ffmpeg.exe is $windows_version, Debian's ffmpeg here is $linux_version:" \
       "comparing streams and durations, not packets"
# Equal packets across architectures are not to be asked of floating-point
# encoders: the i686 results match the x86_64 ones, or they are as good as
# Debian's to the eye. SSIM: 1 is the same picture; the i686 results score
# 0.990 to 1.000 here, while an encode visibly coarser than Debian's (CRF 30
# instead of 23) scores 0.974, so 0.98 is the bar.
packets=$(dirname "$zip")/x86_64-packets
[ "$arch" = x86_64 ] && rm -rf "$packets" && mkdir -p "$packets"
ssim() {
  ffmpeg -nostdin -i "$1" -i "$2" -lavfi ssim -f null - 2>&1 | sed -n 's/.*SSIM .* All:\([0-9.]*\).*/\1/p'
}

mkdir -p "$folder/linux"
converted=0
for clip in "$clips"/*; do
  file=$(basename "$clip")
  name=${file%.*}
  result=$desktop/$name.mp4
  converted=$((converted + 1))
  if [ "${marks[$name]:-}" = joined ]; then
    [ ! -e "$result" ] || fail "$name.mp4 is on the Desktop, though its clip continues the one before it"
    continue
  fi
  [ "$name" = "Party 1" ] && clip=$whole
  if [ ! -f "$result" ]; then fail "$name.mp4 is not on the Desktop"; continue; fi
  kinds=$(probe -show_entries stream=codec_type,codec_name -of csv=p=0 "$result" | sort | tr '\n' ' ')
  [ "$kinds" = "aac,audio h264,video " ] || fail "$name.mp4 holds $kinds"
  probe -show_entries format=format_name -of default=nw=1:nk=1 "$result" | grep -q mp4 ||
    fail "$name.mp4 is not an MP4 file"
  awk -v a="$(duration "$clip")" -v b="$(duration "$result")" 'BEGIN { exit !(a - b < 0.1 && b - a < 0.1) }' ||
    fail "$name.mp4 lasts $(duration "$result") s, its clip $(duration "$clip") s"
  if [ -n "${recorded[$name]:-}" ]; then
    created=$(probe -show_entries format_tags=creation_time -of default=nw=1:nk=1 "$result")
    [ "$created" = "${recorded[$name]}" ] || fail "$name.mp4 was created $created, recorded ${recorded[$name]}"
  fi
  # Stereo AAC-LC at 160 kbit/s, its AudioSpecificConfig saying 2 channels. The
  # encoder's average over a one-second clip may pass its target by a little (1%).
  sound_is=$(probe -select_streams a -show_entries stream=profile,channels,bit_rate -of csv=p=0 "$result")
  config=$(probe -select_streams a -show_streams -show_data "$result" |
    sed -n '/^extradata=/{n;s/^[0-9a-f]*: ..\(..\).*/\1/p}')
  IFS=, read -r sound_profile channels rate <<<"$sound_is"
  [ "$sound_profile,$channels" = LC,2 ] && [ "${rate:-999999}" -le 161600 ] && [ $(((16#${config:-0} >> 3) & 15)) -eq 2 ] ||
    fail "$name.mp4's sound is $sound_is (configuration ${config:-none}), not stereo AAC-LC at 160 kbit/s at most"
  profile=$(probe -select_streams v -show_entries stream=profile,pix_fmt -of csv=p=0 "$result")
  case $profile in Main,yuv420p | High,yuv420p) ;; *) fail "$name.mp4 is $profile, not Main or High in yuv420p" ;; esac
  if [ "${marks[$name]:-}" = interlaced ] || [ "${marks[$name]:-}" = untouched ]; then
    read -r tff bff progressive undetermined <<<"$(idet "$result")"
    frames=$((${tff:-0} + ${bff:-0} + ${progressive:-0} + ${undetermined:-0}))
    echo "   $file: idet finds ${progressive:-0} of $frames frames progressive"
    if [ "$frames" -eq 0 ] || [ $((progressive * 10)) -lt $((frames * 9)) ]; then
      fail "$name.mp4 is not progressive: ${progressive:-0} of $frames frames"
    fi
  fi
  if [ "${marks[$name]:-}" = untouched ] || [ "${marks[$name]:-}" = progressive ]; then
    ffmpeg -nostdin -loglevel error -y -i "$clip" "${sound[@]}" -f mp4 "$folder/linux/$name.mp4"
  else
    ffmpeg -nostdin -loglevel error -y -i "$clip" "${converter[@]}" -f mp4 "$folder/linux/$name.mp4"
  fi
  if [ "$arch" = x86_64 ]; then
    hashes "$result" >"$packets/$name"
    # AAC sound is decoded in floating point, whose last bits were seen to
    # differ between the two builds, and MP3 by the fixed-point decoder, not
    # Debian's float one: only the pictures' packets are the same then.
    streams=,
    case $(probe -select_streams a -show_entries stream=codec_name -of csv=p=0 "$clip") in
      aac | mp3) streams=,v, ;;
    esac
    if [ $same_version = 1 ] &&
       [ "$(hashes "$result" | grep "$streams")" != "$(hashes "$folder/linux/$name.mp4" | grep "$streams")" ]; then
      fail "$name.mp4 differs from Debian's ffmpeg's packets"
    fi
  elif [ -f "$packets/$name" ] && [ "$(hashes "$result")" = "$(cat "$packets/$name")" ]; then
    echo "   $file: the same packets as the x86_64 download's"
  else
    figure=$(ssim "$result" "$folder/linux/$name.mp4")
    echo "   $file: SSIM $figure against Debian's ffmpeg's result"
    awk -v s="${figure:-0}" 'BEGIN { exit !(s >= 0.98) }' || fail "$name.mp4 looks unlike Debian's result (SSIM ${figure:-none})"
  fi
done

if [ ${#failures[@]} -gt 0 ]; then
  echo "The $arch download FAILED (kept in $folder):"
  tail -n +2 "$report" 2>/dev/null || true
  exit 1
fi
rm -rf "$folder"
echo "The $arch download: unpacked, converted $converted real clips, all checked"
