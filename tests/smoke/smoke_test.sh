#!/usr/bin/env bash
# Starts the real program with two files in a real X server, reads its log box
# the way a user would (select all, copy), and closes it by its close box.
set -euo pipefail
program=$(realpath "$1")
closer=$(realpath "$2")
fake_converter=$(realpath "$3")

. "$(dirname "$0")/../support/xvfb_session.sh"

# Closes the window by its close box; the program must end, and end well.
close_and_expect_exit() {
  "$closer" "$window"
  for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$program_pid" 2>/dev/null; then echo "FAIL: still running after its window was closed"; exit 1; fi
  local status=0
  wait "$program_pid" || status=$?
  program_pid=""
  [ "$status" = 0 ] || { echo "FAIL: exit status $status"; cat "$1"; exit 1; }
}

use_scratch_home
mkdir -p "$HOME/Videos"
first="$HOME/Videos/Birthday party.MTS"
second="$HOME/Videos/00001.MTS"
echo clip >"$first"
echo clip >"$second"

start_xvfb

cd "$HOME/Videos"
helper "$program" "$first" "00001.MTS" >"$work/program.log" 2>&1 &
program_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Clipvane$' | head -n1) || true
[ -n "$window" ] || { echo "FAIL: no Clipvane window"; cat "$work/program.log"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window $window at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" = 446 ] && [ "$HEIGHT" = 313 ] || { echo "FAIL: window size ${WIDTH}x$HEIGHT"; exit 1; }

# START has the focus: three Tabs reach the log box.
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --clearmodifiers Tab Tab Tab ctrl+a ctrl+c
expected=$(printf '%s\n%s\n%s' "$first" "$second" "**Number of file(s): 2")
shown=$(read_clipboard "$expected")
if [ "$shown" != "$expected" ]; then
  echo "FAIL: the log box shows:"; echo "$shown"; echo "expected:"; echo "$expected"; exit 1
fi
[ -n "${SMOKE_SCREENSHOT:-}" ] && import -window root "$SMOKE_SCREENSHOT" || true

close_and_expect_exit "$work/program.log"
echo "PASS: the real window listed both files and closed cleanly"

# Closing the window in the middle of a conversion ends the program at once
# and takes the converter with it.
mkdir -p "$work/bin"
cp "$fake_converter" "$work/bin/ffmpeg"
PATH="$work/bin:$PATH" FAKE_FFMPEG_MODE=hang helper "$program" "$second" >"$work/program2.log" 2>&1 &
program_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Clipvane$' | head -n1) || true
[ -n "$window" ] || { echo "FAIL: no Clipvane window the second time"; exit 1; }
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --clearmodifiers space   # START has the focus
converter=""
for _ in $(seq 100); do
  converter=$(pgrep -f "^$work/bin/ffmpeg" | head -n1 || true)
  [ -n "$converter" ] && break
  sleep 0.1
done
[ -n "$converter" ] || { echo "FAIL: START did not run the converter"; cat "$work/program2.log"; exit 1; }
# Its progress window stands beside the main window, never over it (here
# without a window manager, where nothing else moves it).
progress=$(timeout 10 xdotool search --sync --onlyvisible --name '^Converting 00001.MTS$' | head -n1) || true
[ -n "$progress" ] || { echo "FAIL: no progress window"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^/MAIN_/')"
eval "$(xdotool getwindowgeometry --shell "$progress")"
echo "progress window at $X,$Y size ${WIDTH}x$HEIGHT; main at $MAIN_X,$MAIN_Y size ${MAIN_WIDTH}x$MAIN_HEIGHT"
if [ $((X < MAIN_X + MAIN_WIDTH && MAIN_X < X + WIDTH && Y < MAIN_Y + MAIN_HEIGHT && MAIN_Y < Y + HEIGHT)) = 1 ]; then
  echo "FAIL: the progress window covers the main window"; exit 1
fi
close_and_expect_exit "$work/program2.log"
if ! gone "$converter"; then echo "FAIL: the converter outlived the program"; kill -9 "$converter"; exit 1; fi
echo "PASS: closing mid-run ended the program and its converter"
