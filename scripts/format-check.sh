#!/usr/bin/env bash
# Checks that the C++ lines changed since a commit keep to .clang-format.
#   scripts/format-check.sh            lines changed since the baseline below
#   scripts/format-check.sh COMMIT     lines changed since COMMIT
# Older lines are left as they were written rather than churned; every line
# touched after the baseline has to conform. `git clang-format BASE` applies
# the same layout to the working tree.
set -euo pipefail
clipvane_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$clipvane_root"
# A checkout made by another user (a CI clone, a container's bind mount) is
# still this checkout; git and git clang-format's own calls of it both see this.
export GIT_CONFIG_COUNT=1 GIT_CONFIG_KEY_0=safe.directory GIT_CONFIG_VALUE_0="$clipvane_root"
# The commit before the layout was first checked.
base=${1:-1e1e3420575a6bcb8be76aaa45c4b1d40bd51970}

if ! git rev-parse --git-dir >/dev/null 2>&1; then
  echo "format check: skipped, $clipvane_root is not a git checkout"
  exit 0
fi
if ! git cat-file -e "$base^{commit}" 2>/dev/null; then
  # A shallow clone: its oldest commit is the nearest base it has.
  base=$(git rev-list --max-parents=0 HEAD | tail -1)
  echo "format check: the baseline is not in this clone; checking the lines changed since $base"
fi
diff=$(git clang-format --diff --extensions cpp,h,cc,hpp "$base" 2>&1 || true)
case $diff in
  ""|"no modified files to format"*|"clang-format did not modify any files"*)
    echo "format check: the changed lines keep to .clang-format"
    ;;
  *)
    printf '%s\n' "$diff"
    echo "format check: the lines above do not keep to .clang-format; run: git clang-format $base" >&2
    exit 1
    ;;
esac
