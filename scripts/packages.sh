# Installs the Debian packages Clipvane needs to build, run and test, when
# any is missing. Sourced by the start and test commands.
clipvane_packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev libx11-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg
  xvfb xauth xdotool xclip desktop-file-utils libglib2.0-bin
  dbus-daemon appstream dpkg-dev lintian
  at-spi2-core
  gettext locales fonts-wqy-microhei qt6-translations-l10n
  gvfs gvfs-daemons
  clang libclang-rt-14-dev clang-format ccache strace
)

# Installs those of the given packages that are missing.
clipvane_install_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# The user locales the tests read Clipvane in, made where they are missing.
clipvane_locales=(ja_JP de_DE ko_KR ru_RU zh_TW)
clipvane_install_locales() {
  local sudo="" name
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  for name in "${clipvane_locales[@]}"; do
    locale -a 2>/dev/null | grep -qix "$name.utf8" || $sudo localedef -i "$name" -c -f UTF-8 "$name.UTF-8"
  done
}

clipvane_install_missing() {
  clipvane_install_packages "${clipvane_packages[@]}"
  clipvane_install_locales
}

# Rebuilds reuse earlier compiles where ccache is installed.
if [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ] && command -v ccache >/dev/null 2>&1; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi

clipvane_build() {
  local build_dir=$1
  shift
  cmake -S "$clipvane_root" -B "$build_dir" -G Ninja "$@" >/dev/null
  cmake --build "$build_dir" --parallel "$(nproc)"
}

# The second build: clang with AddressSanitizer, UndefinedBehaviorSanitizer
# and the fuzz targets.
clipvane_configure_sanitized() {
  cmake -S "$clipvane_root" -B "$1" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DCLIPVANE_SANITIZE=ON -DCLIPVANE_BUILD_FUZZERS=ON -DCLIPVANE_BUILD_BENCH=OFF >/dev/null
}
