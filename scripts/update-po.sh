#!/usr/bin/env bash
# Remakes the translators' template, po/clipvane.pot, from the texts marked in
# src/ (Tr, TrN, N_), the menu entry and the metainfo, and merges it into
# every po/<lang>.po. Run it after changing a text the user reads.
#
#   scripts/update-po.sh           # the template and the catalogues
#   scripts/update-po.sh --pot F   # only write the template to F (the tests use it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
pot=po/clipvane.pot
if [ "${1:-}" = --pot ]; then pot=$2; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort >"$work/files"
xgettext --from-code=UTF-8 --language=C++ --keyword= --keyword=Tr --keyword=TrN:1,2 \
  --keyword=N_ --add-comments=TRANSLATORS: --add-location=file --package-name=Clipvane \
  --package-version="$(sed -n 's/^project(Clipvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" \
  --files-from="$work/files" -o "$work/code.pot"
xgettext --add-location=file --language=Desktop -k -kName -kGenericName -kComment -kKeywords \
  resources/org.clipvane.Clipvane.desktop -o "$work/desktop.pot"
xgettext --add-location=file --its=/usr/share/gettext/its/metainfo.its resources/org.clipvane.Clipvane.metainfo.xml \
  -o "$work/metainfo.pot"
msgcat --use-first "$work/code.pot" "$work/desktop.pot" "$work/metainfo.pot" -o "$work/all.pot"
# The creation date alone changes on every run; keep the template stable.
sed -i '/^"POT-Creation-Date:/d' "$work/all.pot"
cp "$work/all.pot" "$pot"
[ "${1:-}" = --pot ] && exit 0

for lang in $(cat po/LINGUAS); do
  if [ -f "po/$lang.po" ]; then
    msgmerge --quiet --update --backup=none --no-fuzzy-matching --add-location=file "po/$lang.po" "$pot"
    msgattrib --no-obsolete --add-location=file -o "po/$lang.po" "po/$lang.po"
  else
    msginit --no-translator --locale="$lang.UTF-8" -i "$pot" -o "po/$lang.po"
    sed -i 's/charset=ASCII/charset=UTF-8/' "po/$lang.po"
  fi
done
