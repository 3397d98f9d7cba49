#!/usr/bin/env bash
# Starts the real program with two files in a real X server, reads its log box
# the way a user would (select all, copy), and closes it by its close box.
set -euo pipefail
program=$(realpath "$1")
closer=$(realpath "$2")

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME/Videos" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
first="$HOME/Videos/Birthday party.MTS"
second="$HOME/Videos/00001.MTS"
echo clip >"$first"
echo clip >"$second"

exec 3<> "$work/displayfd" 
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  display=$(head -n1 "$work/displayfd" 2>/dev/null || true)
  [ -n "$display" ] && break
  sleep 0.1
done
[ -n "$display" ] || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$display"

cd "$HOME/Videos"
"$program" "$first" "00001.MTS" >"$work/program.log" 2>&1 &
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
sleep 0.5
shown=$(timeout 5 xclip -o -selection clipboard || true)
expected=$(printf '%s\n%s\n%s' "$first" "$second" "**Number of file(s): 2")
if [ "$shown" != "$expected" ]; then
  echo "FAIL: the log box shows:"; echo "$shown"; echo "expected:"; echo "$expected"; exit 1
fi
[ -n "${SMOKE_SCREENSHOT:-}" ] && import -window root "$SMOKE_SCREENSHOT" || true

"$closer" "$window"
for _ in $(seq 100); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program_pid" 2>/dev/null; then echo "FAIL: still running after its window was closed"; exit 1; fi
wait "$program_pid" && status=0 || status=$?
program_pid=""
[ "$status" = 0 ] || { echo "FAIL: exit status $status"; cat "$work/program.log"; exit 1; }
echo "PASS: the real window listed both files and closed cleanly"
