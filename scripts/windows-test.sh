#!/usr/bin/env bash
# Cross-builds Clipvane.exe (the Win32 windows over the core) for 64-bit and
# 32-bit Windows with MinGW-w64, statically linked, and runs every test of
# both builds under Wine through CTest: the core and Windows layer without a
# display, then the window tests and the end-to-end test of the real program
# under Xvfb. Installs what is missing (as root, or through sudo), 32-bit
# Wine included.
#
#   scripts/windows-test.sh            build and test
#   scripts/windows-test.sh --packages install what is missing, and stop
#   scripts/windows-test.sh --build    build what the tests need, the download
#                                      included, and stop (scripts/test.sh runs
#                                      this early, beside its other work)
#
# The programs: build-windows/x86_64/Clipvane.exe and build-windows/i686/Clipvane.exe.
#
# CLIPVANE_WINDOWS_BUILD  build folder (default: build-windows in the checkout)
# CLIPVANE_SKIP_I686=1    leave out the 32-bit build
# CLIPVANE_SKIP_DOWNLOAD=1  leave out the download (ffmpeg.exe, the zips and their test)
set -euo pipefail
mode=${1:-all}
case $mode in all | --packages | --build) ;; *) echo "Unknown option: $mode" >&2; exit 2 ;; esac
# Wine makes the tests' non-ASCII file names only under a UTF-8 locale.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"
build=${CLIPVANE_WINDOWS_BUILD:-$root/build-windows}
jobs=$(nproc)
packages=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
          wine wine64 xvfb xauth gettext locales fonts-wqy-microhei)
started=$SECONDS
# Wine's 64-bit loader, called directly (see prepare_wine).
wine64=/usr/lib/wine/wine64
timings=()

step() { echo; echo "== $*"; step_started=$SECONDS; }
done_step() { timings+=("$(printf '%-28s %4ds' "$1" $((SECONDS - step_started)))"); }


# GoogleTest from Debian's source copy, built once per toolchain and version.
build_googletest() {
  local arch=$1 toolchain=$2
  local prefix=$build/googletest-$arch
  local stamp
  stamp="$(dpkg-query -W -f='${Version}' googletest) $(sha1sum "$toolchain" | cut -c1-40)"
  if [ -f "$prefix/stamp" ] && [ "$(cat "$prefix/stamp")" = "$stamp" ]; then return 0; fi
  rm -rf "$prefix" "$build/googletest-$arch-build"
  local log=$build/googletest-$arch.log
  mkdir -p "$build"
  { cmake -S /usr/src/googletest -B "$build/googletest-$arch-build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$prefix" &&
    cmake --build "$build/googletest-$arch-build" --parallel "$jobs" &&
    cmake --install "$build/googletest-$arch-build"; } >"$log" 2>&1 || { cat "$log"; return 1; }
  echo "$stamp" >"$prefix/stamp"
}

# Whether this machine runs 32-bit x86 programs at all (some kernels and
# sandboxes do not): a 93-byte i386 program that only exits.
can_run_32bit() {
  local probe=$build/probe-i386
  mkdir -p "$build"
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0%s' \
    '' >"$probe"
  printf '\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' >>"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0' >>"$probe"
  printf '\270\1\0\0\0\61\333\315\200' >>"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
}

# 32-bit Wine comes from Debian's i386 packages. Installed where 32-bit
# programs cannot run, its loader would only fail, so it is left out there.
install_wine32() {
  if ! can_run_32bit; then
    wine32_skipped="this machine cannot run 32-bit x86 programs, so 32-bit Wine cannot either"
    return 0
  fi
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  local added=
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    added=1
  fi
  if clipvane_install_packages wine32:i386; then return 0; fi
  # A mirror caught mid-sync can serve i386 lists that do not match its own
  # index, and then nothing 32-bit installs. The i686 build is still made
  # and checked; the run says plainly that its tests did not run.
  wine32_skipped="32-bit Wine could not be installed (apt's messages above say why)"
  # An architecture whose lists cannot be fetched would fail every later
  # install, so one added here goes again.
  if [ -n "$added" ] && ! dpkg-query -W -f='${Architecture}\n' 2>/dev/null | grep -qx i386; then
    $sudo dpkg --remove-architecture i386
  fi
}

# The core, the Windows layer, the Win32 windows and the tests; no benchmarks.
configure_and_build() {
  local arch=$1 toolchain=$2
  shift 2
  cmake -S "$root" -B "$build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCLIPVANE_WITH_WINDOWS_UI=ON -DCLIPVANE_BUILD_BENCH=OFF \
    -DGTest_DIR="$build/googletest-$arch/lib/cmake/GTest" "$@" >/dev/null &&
    cmake --build "$build/$arch" --parallel "$jobs"
}

# GoogleTest and the build of one architecture, after any build of it
# already under way (an early one of scripts/test.sh) has ended.
build_arch() {
  local arch=$1 toolchain=$2
  shift 2
  mkdir -p "$build"
  (
    flock 8
    build_googletest "$arch" "$toolchain" && configure_and_build "$arch" "$toolchain" "$@"
  ) 8>"$build/$arch.lock"
}

i686_flags=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
release_arches="x86_64 i686"
if [ "${CLIPVANE_SKIP_I686:-}" = 1 ]; then release_arches=x86_64; fi

# A private Wine prefix and home, made afresh, in which nothing needs X.
prepare_wine() {
  export WINEPREFIX=$build/wine/prefix HOME=$build/wine/home
  export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
  # Without it Wine's Recycle Bin deletes for good.
  export XDG_DATA_HOME=$HOME/.local/share
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Wine's own 64-bit loader: the "wine" wrapper would take the 32-bit one
  # whenever it is installed.
  export WINELOADER=$wine64
  unset DISPLAY WAYLAND_DISPLAY
  rm -rf "$build/wine"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
  "$wine64" wineboot -i </dev/null >"$build/wineboot.log" 2>&1 || { cat "$build/wineboot.log"; return 1; }
  wineserver -w
  # The user folders start as links to $HOME; tests need them to be folders.
  local folder
  for folder in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$folder" ]; then rm "$folder" && mkdir "$folder"; fi
  done
  # Two drives, whatever the machine has mounted: C: (the prefix) and Z: (/).
  # The mount manager otherwise adds one for each device it finds, and walks
  # over all volumes then depend on the machine.
  local device
  for device in "$WINEPREFIX"/dosdevices/*; do
    case ${device##*/} in c: | z:) ;; *) rm -f "$device" ;; esac
  done
  ln -sfn ../drive_c "$WINEPREFIX/dosdevices/c:"
  ln -sfn / "$WINEPREFIX/dosdevices/z:"
  # Without a window manager, hiding or destroying a managed top-level window
  # can stall a program for about two seconds.
  "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
  wineserver -w
  wineserver -p
  wine_started=1
  # Wine's helper processes would otherwise hold CTest's pipes open.
  "$wine64" cmd /c exit >/dev/null 2>&1 </dev/null
}

stop_wine() {
  if [ -n "${wine_started:-}" ]; then wineserver -k 2>/dev/null || true; fi
}
trap stop_wine EXIT

failed=()

# The tests of one build: those that need no display as they are, then the
# windows under a private X server. Each test runs once: a failure is a fault.
run_tests() {
  local arch=$1 loader=$wine64
  # 32-bit programs go through the wrapper, which runs both kinds.
  if [ "$arch" = i686 ]; then loader=wine; fi
  if ! WINELOADER=$(command -v "$loader") ctest --test-dir "$build/$arch" --output-on-failure \
       --timeout 300 --label-exclude display; then
    failed+=("$arch tests under Wine")
  fi
  wineserver -k 2>/dev/null || true
  wineserver -w
  # Wine's processes start again on the X server.
  if ! xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
        export WINELOADER=$(command -v "$2")
        wineserver -p && "$2" cmd /c exit >/dev/null 2>&1 </dev/null &&
        ctest --test-dir "$1" --output-on-failure --timeout 300 \
          --label-regex display; status=$?
        # Again in a Japanese session, for the tests that skip in any other.
        LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 ctest --test-dir "$1" --output-on-failure --timeout 300 \
          --label-regex display -R Japanese || status=1
        wineserver -k; exit $status' sh "$build/$arch" "$loader"; then
    failed+=("$arch window tests under Wine")
  fi
  wineserver -w
  wineserver -p
  "$wine64" cmd /c exit >/dev/null 2>&1 </dev/null
}

step "Installing what is missing"
clipvane_install_packages "${packages[@]}"
clipvane_install_locales
# The early build only compiles: 32-bit Wine is for the tests.
if [ "${CLIPVANE_SKIP_I686:-}" != 1 ] && [ "$mode" != --build ]; then install_wine32; fi
if [ "${CLIPVANE_SKIP_DOWNLOAD:-}" != 1 ]; then "$root/scripts/windows-release.sh" --packages >/dev/null; fi
done_step "packages"
if [ "$mode" = --packages ]; then exit 0; fi

if [ "$mode" = --build ]; then
  status=0
  build_arch x86_64 "$root/cmake/toolchain-mingw64.cmake" || status=1
  if [ "${CLIPVANE_SKIP_I686:-}" != 1 ]; then
    build_arch i686 "$root/cmake/toolchain-mingw32.cmake" "${i686_flags[@]}" || status=1
  fi
  if [ "${CLIPVANE_SKIP_DOWNLOAD:-}" != 1 ]; then
    CLIPVANE_WINDOWS_BUILD=$build CLIPVANE_RELEASE_ARCHES=$release_arches "$root/scripts/windows-release.sh" ||
      status=1
  fi
  exit $status
fi

step "Cross-building for Windows (x86_64)"
build_arch x86_64 "$root/cmake/toolchain-mingw64.cmake"
done_step "build x86_64"

step "Preparing Wine"
prepare_wine
done_step "wine prefix"

step "Running the tests under Wine (x86_64)"
run_tests x86_64
done_step "tests x86_64"

if [ "${CLIPVANE_SKIP_I686:-}" != 1 ]; then
  step "Cross-building for 32-bit Windows (i686, warnings are errors)"
  if build_arch i686 "$root/cmake/toolchain-mingw32.cmake" "${i686_flags[@]}"; then
    done_step "build i686"
    if [ -n "${wine32_skipped:-}" ]; then
      echo "== 32-bit tests SKIPPED (the i686 build is compiled only): $wine32_skipped"
      timings+=("tests i686: skipped, $wine32_skipped")
    else
      step "Running the tests under 32-bit Wine (i686)"
      run_tests i686
      done_step "tests i686"
    fi
  else
    failed+=("32-bit build")
    done_step "build i686"
  fi
fi
# The Windows download, unpacked as a user would, on real clips.
run_download_test() {
  local arch=$1 loader=$wine64 tests=""
  if [ "$arch" = i686 ]; then loader=wine; fi
  if [ "$arch" = x86_64 ] || [ -z "${wine32_skipped:-}" ]; then
    tests=$build/$arch/tests/win32_end_to_end_tests.exe
  fi
  local zipfile=$build/release/Clipvane-$version-windows-$arch.zip
  wineserver -k 2>/dev/null || true
  wineserver -w
  if ! xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
        export WINELOADER=$(command -v "$4")
        wineserver -p && "$4" cmd /c exit >/dev/null 2>&1 </dev/null &&
        "$1" "$2" "$3" "$5"; status=$?; wineserver -k; exit $status' sh \
        "$root/tests/release/release-test.sh" "$zipfile" "$arch" "$loader" "$tests"; then
    failed+=("the $arch download")
  fi
  wineserver -w
  wineserver -p
  "$wine64" cmd /c exit >/dev/null 2>&1 </dev/null
}

if [ "${CLIPVANE_SKIP_DOWNLOAD:-}" != 1 ]; then
  step "The Windows download: ffmpeg.exe built here, the zips"
  version=$(sed -n 's/^project(Clipvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
  if CLIPVANE_WINDOWS_BUILD=$build CLIPVANE_RELEASE_ARCHES=$release_arches \
       "$root/scripts/windows-release.sh"; then
    done_step "download zips"
    for arch in $release_arches; do
      step "The $arch download, unpacked, on real clips"
      run_download_test "$arch"
      done_step "download $arch"
    done
  else
    failed+=("the Windows download")
    done_step "download zips"
  fi
fi
stop_wine
wine_started=

echo
echo "== Windows build and tests took $((SECONDS - started))s"
printf '   %s\n' "${timings[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "Windows: all passed"
