#!/usr/bin/env bash
# Pictures of the three Qt windows on a private X server: the main window
# with two clips listed, the About window, the Setting window. Run after a
# build (scripts/start.sh or scripts/test.sh).
#
#   scripts/screenshot.sh [--locale ja_JP.UTF-8] [path/to/clipvane]
#
# Writes main.png, about.png and setting.png to build/screenshots/, or to
# build/screenshots/<locale>/ for a session in that locale.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"
locale=C.UTF-8 subfolder=""
if [ "${1:-}" = --locale ]; then locale=$2 subfolder=/$2; shift 2; fi
program=$(realpath "${1:-$root/build/clipvane}")
out=$root/build/screenshots$subfolder
clipvane_install_packages xvfb xauth xdotool imagemagick
clipvane_install_locales
. "$root/tests/support/xvfb_session.sh"
use_scratch_home
export LANG=$locale LC_ALL=$locale
unset LANGUAGE
rm -rf "$out" && mkdir -p "$out" "$work/clips"
echo clip >"$work/clips/Sports day.MTS"
echo clip >"$work/clips/Garden.MTS"
start_xvfb

"$program" "$work/clips/Sports day.MTS" "$work/clips/Garden.MTS" >"$work/program.log" 2>&1 &
program_pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Clipvane$' | head -n1)
# Each window as it is (there is no window manager to frame it); the other
# two open by a click on their buttons, at their places in the layout.
other() {
  local id
  for _ in $(seq 50); do
    for id in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null); do
      [ "$id" != "$main" ] && echo "$id" && return 0
    done
    sleep 0.1
  done
  return 1
}
sleep 1
import -window "$main" "$out/main.png"
xdotool mousemove --window "$main" 344 280 click 1   # "About this software"
about=$(other)
sleep 0.5
import -window "$about" "$out/about.png"
xdotool mousemove --window "$about" 272 160 click 1  # "Close"
sleep 0.5
xdotool mousemove --window "$main" 196 280 click 1   # "Setting"
setting=$(other)
sleep 0.5
import -window "$setting" "$out/setting.png"
ls "$out"/*.png
