#!/usr/bin/env bash
# The translations: the template holds every text marked in the code, the
# menu entry and the metainfo, and nothing else; each catalogue of po/LINGUAS
# is complete (no untranslated or fuzzy entry), valid for msgfmt, keeps
# the English's %1 markers, names, line breaks and edge spaces (the log's
# words " SUCCESS", "**Number of file(s): " are glued to what follows them;
# a full-width colon or comma carries its own gap instead), and writes its
# language's own quotes and spaces.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$root/scripts/update-po.sh" --pot "$work/extracted.pot"
msgcmp --use-untranslated "$root/po/clipvane.pot" "$work/extracted.pot" 2>"$work/missing" ||
  { cat "$work/missing"; fail "texts marked in the code are missing from po/clipvane.pot (run scripts/update-po.sh)"; }
msgcmp --use-untranslated "$work/extracted.pot" "$root/po/clipvane.pot" 2>"$work/stale" ||
  { cat "$work/stale"; fail "po/clipvane.pot holds texts the code no longer has (run scripts/update-po.sh)"; }

# One line per entry: what must agree between the English and a translation.
# msgexec runs this once per entry, so it forks nothing.
cat >"$work/shape.sh" <<'SHAPE'
nl='
'
# Sets shape: the %N markers with their counts, the lines as grep -c counts
# them, and whether it starts or ends with a space or starts with "**".
shape() {
  shape=
  for digit in 0 1 2 3 4 5 6 7 8 9; do
    rest=$1 count=0
    while :; do
      case $rest in *"%$digit"*) rest=${rest#*"%$digit"} count=$((count + 1)) ;; *) break ;; esac
    done
    [ $count -eq 0 ] || shape="$shape %$digit*$count"
  done
  rest=$1 count=0
  while :; do
    case $rest in *"$nl"*) rest=${rest#*"$nl"} count=$((count + 1)) ;; *) break ;; esac
  done
  [ -z "$rest" ] || count=$((count + 1))
  shape="$shape $count"
  case $1 in " "*) shape="$shape lead" ;; esac
  case $1 in *" ") shape="$shape trail" ;; esac
  case $1 in "**"*) shape="$shape stars" ;; esac
}
[ -z "$MSGEXEC_MSGID" ] && exit 0
translation= line=
while IFS= read -r line; do translation="$translation$line$nl"; done
translation="$translation$line"
shape "$MSGEXEC_MSGID"
english=$shape
# A full-width colon or comma at the end carries the English's trailing space.
case $english:$translation in
  *trail*:*"："|*trail*:*"，"|*trail*:*"、") shape "$translation " ;;
  *) shape "$translation" ;;
esac
# The names the English gives (Clipvane in the file menu's line) stay.
for name in Clipvane ffmpeg AVCHD MP4; do
  case $MSGEXEC_MSGID in *"$name"*) case $translation in *"$name"*) ;; *) shape="$shape no-$name" ;; esac ;; esac
done
[ "$english" = "$shape" ] || printf '%s -> %s\n' "$MSGEXEC_MSGID" "$translation"
SHAPE

for language in $(cat "$root/po/LINGUAS"); do
  po=$root/po/$language.po
  [ -f "$po" ] || { fail "$language: no po/$language.po"; continue; }
  msgfmt --check -o /dev/null "$po" || fail "$language: msgfmt --check"
  [ -z "$(msgattrib --untranslated --no-obsolete "$po")" ] || fail "$language: untranslated entries"
  [ -z "$(msgattrib --only-fuzzy --no-obsolete "$po")" ] || fail "$language: fuzzy entries"
  msgcmp "$po" "$root/po/clipvane.pot" 2>/dev/null || fail "$language: not merged with the template"
  grep -q '^"Language-Team: [^n]' "$po" && grep -q '^"PO-Revision-Date: 2' "$po" ||
    fail "$language: no team or date in the header"
  mismatched=$(msgexec -i "$po" sh "$work/shape.sh")
  [ -z "$mismatched" ] || { echo "$mismatched"; fail "$language: markers, names, line breaks or edge spaces differ"; }
  # The translations alone (not the header): no straight quote or apostrophe, no
  # space after a full-width colon or comma nor outside a full-width bracket (it
  # carries its own gap), none but U+00A0 inside « » or before : ; ? !
  typography=$(msgcat --no-wrap "$po" | awk '/^(msgid|$)/ { s = 0 } /^msgstr/ { s = n++ > 0 } s' |
    grep -e "'" -e '\\"' -e '： ' -e '， ' -e '、 ' -e ' （' -e '） ' -e '« ' -e ' »' -e ' [:;?!]' || true)
  [ -z "$typography" ] || { echo "$typography"; fail "$language: quotes or spaces that are not the language's own"; }
done
[ $failures -eq 0 ] && echo "catalogues: complete, valid, in step with the code"
exit $((failures > 0))
