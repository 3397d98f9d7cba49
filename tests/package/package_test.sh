#!/usr/bin/env bash
# Builds the Debian package from this build, checks it the way Debian would
# (lintian, desktop-file-validate, appstreamcli), unpacks it into a temporary
# root and starts the unpacked program under Xvfb: it must show its usage text.
set -euo pipefail
build=$(realpath "$1")
closer=$(realpath "$2")

. "$(dirname "$0")/../support/xvfb_session.sh"
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/package/clipvane_*.deb)
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in ffmpeg libqt6widgets6 libqt6dbus6 libc6; do
  [[ "$depends" == *"$needed"* ]] || fail "no $needed among the dependencies"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
[[ "$recommends" == *qt6-translations-l10n* ]] || fail "Qt's own translations are not recommended"

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" 2>/dev/null | tee "$work/lintian.log" || fail "lintian reports errors"
  ! grep -q '^E:' "$work/lintian.log" || fail "lintian reports errors"
  echo "lintian: no errors"
else
  echo "lintian is not installed: not run"
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
entry=$root/usr/share/applications/org.clipvane.Clipvane.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.clipvane.Clipvane.metainfo.xml" ||
  fail "appstreamcli validate"
# "Open With" stays the Setting window's choice: the menu entry claims no types.
! grep -q '^MimeType=' "$entry" || fail "the menu entry lists MIME types"
grep -q '^Categories=.*AudioVideo;' "$entry" || fail "the menu entry is not under AudioVideo"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$root/usr/share/icons/hicolor/128x128/apps/$icon.png" ] || fail "no icon $icon in hicolor"
[ -x "$root/usr/bin/clipvane" ] || fail "no usr/bin/clipvane"
zcat "$root/usr/share/man/man1/clipvane.1.gz" | grep -q '^\.TH CLIPVANE 1' || fail "no manual page"
# Every language: its catalogue, and its words in the menu entry and metainfo.
for language in $(cat "$(dirname "$0")/../../po/LINGUAS"); do
  [ -f "$root/usr/share/locale/$language/LC_MESSAGES/clipvane.mo" ] || fail "no $language catalogue"
  grep -q "^Comment\[$language\]=" "$entry" || fail "the menu entry has no $language comment"
  grep -q "<summary xml:lang=\"$language\">" "$root/usr/share/metainfo/org.clipvane.Clipvane.metainfo.xml" ||
    fail "the metainfo has no $language summary"
done

use_scratch_home
start_xvfb

helper "$root/usr/bin/clipvane" >"$work/program.log" 2>&1 &
program_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Clipvane$' | head -n1) || true
[ -n "$window" ] || { cat "$work/program.log"; fail "the unpacked clipvane showed no window"; }
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --clearmodifiers Tab Tab Tab ctrl+a ctrl+c
expected=$(printf '%s\n%s\n%s\n%s' "Please drag & drop video file(s) here." \
  "Drag & Dropping video file(s) to the Desktop icon is also OK." "To change the setting, " \
  'right-click the video files and choose Clipvane under "Open With".')
shown=$(read_clipboard "$expected")
[ "$shown" = "$expected" ] || { echo "shown:"; echo "$shown"; fail "the log box does not show the usage text"; }
"$closer" "$window"
for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "still running after its window was closed"
program_pid=""
echo "PASS: the package validates, and its clipvane starts and shows the usage text"
