# Sourced by the tests that start the real program: a scratch folder ($work)
# removed on exit with the program ($program_pid) and the X server; a home of
# its own there; `start_xvfb`, which starts a private X server and exports
# its DISPLAY; `helper`, which starts a program that dies with the test even
# when the test is killed (and no exit trap runs); and `read_clipboard` and
# `gone`, which wait for a state rather than sleep.
work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

use_scratch_home() {
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
  export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime"
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
}

start_xvfb() {
  local display=""
  exec 3<>"$work/displayfd"
  helper Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    display=$(head -n1 "$work/displayfd" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.1
  done
  [ -n "$display" ] || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  export DISPLAY=":$display"
}

# Started in the background (`helper PROGRAM ARGS &`), PROGRAM is a helper
# of this test: the system ends it when the test's shell ends, however that
# ends.
helper() { exec setpriv --pdeathsig KILL "$@"; }

# The clipboard once it holds $1, or what it holds after 10 seconds: the
# program answers keys in its own time.
read_clipboard() {
  local shown="" end=$((SECONDS + 10))
  while :; do
    shown=$(timeout 2 xclip -o -selection clipboard 2>/dev/null || true)
    [ "$shown" = "$1" ] || [ $SECONDS -ge $end ] && break
    sleep 0.2
  done
  printf '%s' "$shown"
}

# Whether process $1 is gone (or only waits to be reaped) within 5 seconds.
gone() {
  local stat
  for _ in $(seq 50); do
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
    case ${stat##*) } in Z*) return 0 ;; esac
    sleep 0.1
  done
  return 1
}
