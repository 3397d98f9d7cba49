#!/usr/bin/env bash
# Makes the Windows download: for 64-bit and 32-bit Windows, one zip that a
# user unpacks anywhere and starts, with Clipvane.exe and an ffmpeg.exe built
# here from the source packages of FFmpeg and x264 that Debian ships; and one
# zip of exactly those sources and this script, as the GPL asks.
#
#   scripts/windows-release.sh             everything below
#   scripts/windows-release.sh --packages  only install what is missing
#
#   build-windows/release/Clipvane-<version>-windows-x86_64.zip
#   build-windows/release/Clipvane-<version>-windows-i686.zip
#   build-windows/release/Clipvane-<version>-windows-sources.zip
#
# ffmpeg.exe is built once per architecture and source version and reused
# while the sources, this script and the compiler stay the same. Installs what
# is missing (as root, or through sudo). The machine's apt configuration is
# left alone: the sources come through a private list in the build folder.
# Runs on one build folder wait for each other, so scripts/test.sh can make
# the download early, beside its other work, and the download step of
# scripts/windows-test.sh later only waits for it.
#
# CLIPVANE_WINDOWS_BUILD   build folder (default: build-windows in the checkout)
# CLIPVANE_RELEASE_ARCHES  the architectures (default: "x86_64 i686")
set -euo pipefail
export LANG=C.UTF-8 LC_ALL=C.UTF-8

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"
build=${CLIPVANE_WINDOWS_BUILD:-$root/build-windows}
release=$build/release
work=$release/work
arches=${CLIPVANE_RELEASE_ARCHES:-x86_64 i686}
jobs=$(nproc)
version=$(sed -n 's/^project(Clipvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
packages=(cmake ninja-build make pkg-config nasm zip unzip xz-utils dpkg-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix)
started=$SECONDS
timings=()

step() { echo "== $*"; step_started=$SECONDS; }
done_step() { timings+=("$(printf '%-28s %4ds' "$1" $((SECONDS - step_started)))"); }

# Runs a long command with its output in a log, shown only when it fails.
logged() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { tail -n 60 "$log"; echo "FAILED: $* (log: $log)"; return 1; }
}

# apt with a sources list and lists folder of its own: deb-src entries for
# the Debian archives this machine already uses (so a local mirror or proxy
# keeps working), else Debian's own.
private_apt() {
  apt-get -q -o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=- \
    -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache::Archives="$work/apt/archives" "$@"
}

write_sources_list() {
  mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial"
  local list
  list=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Origin: Debian' \
           2>/dev/null | awk 'NF == 3 && $3 == "main" { print "deb-src " $0 }' | sort -u || true)
  if [ -z "$list" ]; then
    list="deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm-updates main
deb-src http://deb.debian.org/debian-security bookworm-security main"
  fi
  echo "$list" >"$work/apt/sources.list"
}

# The newest source package of each, downloaded (once) into work/sources;
# sets ffmpeg_dsc and x264_dsc. Without a network, what is there is used.
fetch_sources() {
  write_sources_list
  mkdir -p "$work/sources"
  if ! logged "$work/apt-update.log" private_apt update; then
    if ls "$work"/sources/ffmpeg_*.dsc "$work"/sources/x264_*.dsc >/dev/null 2>&1; then
      echo "The archive cannot be reached; building from the sources fetched before."
    else
      return 1
    fi
  else
    local uris
    uris=$(cd "$work/sources" && private_apt source --download-only --print-uris ffmpeg x264)
    # Older versions go, so the sources zip holds exactly what was built.
    local wanted
    wanted=$(echo "$uris" | sed -n "s/^'[^']*' \([^ ]*\) .*/\1/p")
    local file
    for file in "$work"/sources/*; do
      [ -e "$file" ] || continue
      echo "$wanted" | grep -qxF "$(basename "$file")" || rm -rf "$file"
    done
    (cd "$work/sources" && logged "$work/apt-source.log" private_apt source --download-only ffmpeg x264)
  fi
  ffmpeg_dsc=$(ls "$work"/sources/ffmpeg_*.dsc | tail -n 1)
  x264_dsc=$(ls "$work"/sources/x264_*.dsc | tail -n 1)
  # Named as in the files' names, without Debian's epoch ("7:").
  ffmpeg_version=$(sed -n 's/^Version: \([0-9]*:\)\{0,1\}//p' "$ffmpeg_dsc")
  x264_version=$(sed -n 's/^Version: \([0-9]*:\)\{0,1\}//p' "$x264_dsc")
}

# A source package unpacked with Debian's patches applied, once per version.
unpack() {
  local dsc=$1 target=$2
  if [ -f "$target/.unpacked" ]; then return 0; fi
  rm -rf "$target"
  mkdir -p "$(dirname "$target")"
  logged "$target.log" dpkg-source --no-check -x "$dsc" "$target"
  touch "$target/.unpacked"
}

# x264, static, without its command-line program, for one architecture.
# 8-bit only: Clipvane asks for 8-bit 4:2:0 ("-pix_fmt yuv420p"), and x264
# otherwise compiles its whole encoder a second time for 10-bit.
build_x264() {
  local triplet=$1 out=$2 cflags=$3
  rm -rf "$out/x264-build" "$out/prefix"
  mkdir -p "$out/x264-build"
  (cd "$out/x264-build" &&
    logged "$out/x264-configure.log" "$work/src/x264/configure" --host="$triplet" \
      --cross-prefix="$triplet-" --prefix="$out/prefix" --extra-cflags="$cflags" --enable-static --disable-cli \
      --bit-depth=8 \
      --disable-opencl --disable-avs --disable-swscale --disable-lavf --disable-ffms \
      --disable-gpac --disable-lsmash &&
    logged "$out/x264-make.log" make -j"$jobs" &&
    logged "$out/x264-install.log" make install-lib-static)
}

# ffmpeg.exe with only what Clipvane's converter command line (in
# convert::BatchRun::ConverterArguments) meets in camcorder clips: AVCHD and
# HDV/JVC transport streams, DVD camcorders' program streams, DV and
# Motion-JPEG AVI, MP4 and MOV; in them H.264, H.265, MPEG-1/2, DV and
# Motion-JPEG video with AC-3, E-AC-3, LPCM, PCM, IMA ADPCM, MP2, MP3 or AAC
# sound; x264 and AAC out, in MP4. The filters, each for a reason: idet tells
# truly interlaced frames from progressive ones stored with interlaced flags,
# bwdif deinterlaces the former, one frame per frame; scale and format turn
# 4:2:2, 4:4:4 and 10-bit pictures into the 8-bit 4:2:0 that "-pix_fmt
# yuv420p" asks for (and that iPhones play); aresample and aformat fit the
# sound to the AAC encoder (and fold 5.1 into the stereo that "-ac 2" asks
# for); null and anull are the graph's pass-throughs. Besides the file
# protocol, concatf reads the pieces a camcorder split one recording into as
# one stream, from the list of them that Clipvane writes.
# Static, so it needs nothing beside the system's
# DLLs. The 32-bit build does its floating-point work in SSE2, as the 64-bit
# one does, instead of on the x87 unit; the assembly still picks its code by
# the processor it finds. (With SSE, 32-bit MinGW realigns the stack through
# ebp, which leaves the H.264 decoder's inline assembly too few registers:
# the 32-bit build goes without inline assembly, nasm's stays.)
build_ffmpeg() {
  local triplet=$1 arch=$2 out=$3 cflags=$4 more=()
  if [ "$arch" = x86_32 ]; then more=(--disable-inline-asm); fi
  rm -rf "$out/ffmpeg-build"
  mkdir -p "$out/ffmpeg-build"
  (cd "$out/ffmpeg-build" &&
    PKG_CONFIG_LIBDIR="$out/prefix/lib/pkgconfig" logged "$out/ffmpeg-configure.log" \
      "$work/src/ffmpeg/configure" --target-os=mingw32 --arch="$arch" --cross-prefix="$triplet-" \
      --enable-cross-compile --pkg-config=pkg-config --pkg-config-flags=--static \
      --extra-cflags="$cflags" "${more[@]}" \
      --enable-gpl --enable-libx264 --enable-static --disable-shared --extra-ldflags=-static \
      --disable-everything --disable-autodetect --enable-w32threads \
      --disable-doc --disable-debug --disable-ffplay --disable-ffprobe --disable-network \
      --disable-devices --disable-avdevice --disable-postproc \
      --enable-protocol=file,concatf --enable-demuxer=mpegts,mpegps,mpegvideo,avi,mov,dv \
      --enable-decoder=h264,hevc,mpeg2video,mpeg1video,dvvideo,mjpeg \
      --enable-decoder=ac3,eac3,pcm_bluray,pcm_s16le,pcm_s16be,pcm_u8,adpcm_ima_wav,mp2,mp3,aac \
      --enable-parser=h264,hevc,mpegvideo,mjpeg,ac3,mpegaudio,aac \
      --enable-encoder=libx264,aac --enable-muxer=mp4 \
      --enable-filter=idet,bwdif,scale,format,aresample,aformat,null,anull &&
    logged "$out/ffmpeg-make.log" make -j"$jobs" ffmpeg.exe)
  "$triplet-strip" -o "$out/ffmpeg.exe" "$out/ffmpeg-build/ffmpeg.exe"
}

# ffmpeg.exe for one architecture, rebuilt only when its inputs changed.
converter_for() {
  local arch=$1 triplet=$2 ffarch=$3 cflags=$4 out=$work/$arch
  local stamp
  stamp="ffmpeg $ffmpeg_version x264 $x264_version $(sha1sum "$root/scripts/windows-release.sh" | cut -c1-40) $("$triplet-gcc-posix" -dumpfullversion)"
  if [ -f "$out/ffmpeg.exe" ] && [ "$(cat "$out/stamp" 2>/dev/null)" = "$stamp" ]; then
    echo "   ffmpeg.exe ($arch) is up to date"
    return 0
  fi
  rm -f "$out/stamp"
  mkdir -p "$out"
  build_x264 "$triplet" "$out" "$cflags"
  build_ffmpeg "$triplet" "$ffarch" "$out" "$cflags"
  echo "$stamp" >"$out/stamp"
}

# Clipvane.exe as a user gets it: Release, static, stripped.
clipvane_for() {
  local arch=$1 triplet=$2 toolchain=$3 out=$work/$arch/clipvane
  logged "$work/$arch/clipvane-configure.log" cmake -S "$root" -B "$out" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCLIPVANE_WITH_WINDOWS_UI=ON -DCLIPVANE_BUILD_TESTS=OFF -DCLIPVANE_BUILD_BENCH=OFF
  logged "$work/$arch/clipvane-build.log" cmake --build "$out" --parallel "$jobs" --target clipvane
  "$triplet-strip" -o "$work/$arch/Clipvane.exe" "$out/Clipvane.exe"
}

# Text for Notepad: CRLF line ends.
crlf() { sed 's/$/\r/' "$1" >"$2"; }

# The zips' files all carry one time (that of the last commit), so two runs
# over the same inputs make the same zip.
stamp_time() {
  local when
  when=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)
  find "$1" -exec touch -h -d "@$when" {} +
}

package_arch() {
  local arch=$1 stage=$work/$arch/stage
  local zipfile=$release/Clipvane-$version-windows-$arch.zip
  rm -rf "$stage" "$zipfile"
  mkdir -p "$stage/Clipvane/licenses"
  cp "$work/$arch/Clipvane.exe" "$work/$arch/ffmpeg.exe" "$stage/Clipvane/"
  sed -e "s/@VERSION@/$version/g" -e "s/@ARCH@/$arch/g" -e "s/@FFMPEG_VERSION@/$ffmpeg_version/g" \
    -e "s/@X264_VERSION@/$x264_version/g" "$root/resources/windows/README.txt.in" >"$work/README.txt"
  crlf "$work/README.txt" "$stage/Clipvane/README.txt"
  sed -e "s/@VERSION@/$version/g" -e "s/@FFMPEG_VERSION@/$ffmpeg_version/g" \
    -e "s/@X264_VERSION@/$x264_version/g" "$root/resources/windows/NOTICE.txt.in" >"$work/NOTICE.txt"
  crlf "$work/NOTICE.txt" "$stage/Clipvane/licenses/NOTICE.txt"
  crlf "$work/src/ffmpeg/COPYING.GPLv2" "$stage/Clipvane/licenses/GPL-2.txt"
  crlf "$work/src/ffmpeg/LICENSE.md" "$stage/Clipvane/licenses/FFmpeg-LICENSE.txt"
  crlf "$work/src/ffmpeg/debian/copyright" "$stage/Clipvane/licenses/FFmpeg-copyright.txt"
  crlf "$work/src/x264/debian/copyright" "$stage/Clipvane/licenses/x264-copyright.txt"
  stamp_time "$stage"
  (cd "$stage" && zip -q -X -9 -r "$zipfile" Clipvane)
}

package_sources() {
  local stage=$work/sources-stage
  local zipfile=$release/Clipvane-$version-windows-sources.zip
  rm -rf "$stage" "$zipfile"
  mkdir -p "$stage/Clipvane-$version-windows-sources"
  cp "$work"/sources/* "$root/scripts/windows-release.sh" "$stage/Clipvane-$version-windows-sources/"
  crlf "$work/NOTICE.txt" "$stage/Clipvane-$version-windows-sources/NOTICE.txt"
  stamp_time "$stage"
  (cd "$stage" && zip -q -X -0 -r "$zipfile" "Clipvane-$version-windows-sources")
}

mode=${1:-all}
case $mode in all | --packages) ;; *) echo "Unknown option: $mode" >&2; exit 2 ;; esac

step "Installing what is missing"
clipvane_install_packages "${packages[@]}"
mkdir -p "$work"
done_step "packages"
if [ "$mode" = --packages ]; then exit 0; fi

exec 9>"$work/.lock"
if ! flock -n 9; then
  step "Waiting for another run on $build (one building beside other work)"
  flock 9
  done_step "waiting"
fi

step "Fetching Debian's sources of FFmpeg and x264"
fetch_sources
unpack "$ffmpeg_dsc" "$work/src/ffmpeg-$ffmpeg_version"
unpack "$x264_dsc" "$work/src/x264-$x264_version"
ln -sfn "ffmpeg-$ffmpeg_version" "$work/src/ffmpeg"
ln -sfn "x264-$x264_version" "$work/src/x264"
echo "   ffmpeg $ffmpeg_version, x264 $x264_version"
done_step "sources"

for arch in $arches; do
  case $arch in
    x86_64) triplet=x86_64-w64-mingw32 toolchain=$root/cmake/toolchain-mingw64.cmake ffarch=x86_64 cflags="" ;;
    # Every x86 processor since 2003 has SSE2, and Windows 8 and later need it.
    i686) triplet=i686-w64-mingw32 toolchain=$root/cmake/toolchain-mingw32.cmake ffarch=x86_32
      cflags="-msse2 -mfpmath=sse" ;;
    *) echo "Unknown architecture: $arch" >&2; exit 2 ;;
  esac
  step "ffmpeg.exe ($arch)"
  converter_for "$arch" "$triplet" "$ffarch" "$cflags"
  done_step "ffmpeg.exe $arch"
  step "Clipvane.exe ($arch)"
  clipvane_for "$arch" "$triplet" "$toolchain"
  package_arch "$arch"
  done_step "Clipvane.exe and zip $arch"
done
package_sources

echo
echo "== The Windows download took $((SECONDS - started))s"
printf '   %s\n' "${timings[@]}"
for zipfile in "$release"/Clipvane-"$version"-windows-*.zip; do
  size=$(stat -c %s "$zipfile")
  printf '   %-44s %9d bytes (%s MiB)\n' "$(basename "$zipfile")" "$size" \
    "$(awk -v s="$size" 'BEGIN { printf "%.2f", s / 1048576 }')"
done
