#!/usr/bin/env bash
# Seen from outside, with strace: a result is dated, then flushed with fsync
# (its data and its time) before it takes its name on the Desktop, and the
# Desktop folder is synced after, whether it came by a rename, by a copy from
# another file system, or in place of an older file. Runs the core's delivery
# tests under the trace.
#
#   durability_test.sh CORE_TESTS
set -euo pipefail
core_tests=$1
command -v strace >/dev/null || { echo "strace is not installed"; exit 1; }
trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
# LeakSanitizer cannot work under a tracer.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
  strace -f -y -qq -e signal=none -e trace=fdatasync,fsync,utimensat,rename,renameat,renameat2 -o "$trace" \
  "$core_tests" --gtest_brief=1 --gtest_filter='BatchRunTest.TheSameNameTwiceInOneRunKeepsBothResults:BatchRunTest.AResultFromBeforeTheRunGoesToTheTrash:BatchRunTest.AResultTakesTheClipsTimeAndLeavesNothingInTheTemporaryFolder'

# utimensat(AT_FDCWD</x>, "/x/Desktop/.Clipvane-incoming.mp4", [UTIME_OMIT, {...}], 0) = 0
# fsync(7</x/Desktop/.Clipvane-incoming.mp4>) = 0
# rename("/x/Desktop/.Clipvane-incoming.mp4", "/x/Desktop/a.mp4") = 0
# fsync(8</x/Desktop>) = 0
awk '
  function quoted(n,   s, i) {
    s = $0
    for (i = 1; i <= n; i++) {
      if (!match(s, /"[^"]*"/)) return ""
      if (i == n) return substr(s, RSTART + 1, RLENGTH - 2)
      s = substr(s, RSTART + RLENGTH)
    }
  }
  / = 0$/ && /utimensat\(/ {
    path = quoted(1); dated[path] = 1; delete flushed[path]
    next
  }
  # fdatasync need not write the time: only fsync makes a dated file safe.
  / = 0$/ && /fsync\(/ {
    match($0, /<[^>]*>/); path = substr($0, RSTART + 1, RLENGTH - 2)
    flushed[path] = 1
    delete waiting[path]
    next
  }
  # A flush beside the window may be cut in two by another process'"'"'s call.
  / fsync\(.*<unfinished/ { match($0, /<[^>]*>/); pending[$1] = substr($0, RSTART + 1, RLENGTH - 2); next }
  /<\.\.\. fsync resumed>/ && / = 0$/ {
    flushed[pending[$1]] = 1; delete waiting[pending[$1]]; delete pending[$1]
    next
  }
  / = 0$/ && /rename/ {
    from = quoted(1); to = quoted(2)
    if (to ~ /\/\.Clipvane-incoming\.mp4$/) { delete flushed[to]; delete dated[to]; next }
    if (from !~ /\/\.Clipvane-incoming\.mp4$/) next
    delivered++
    if (!dated[from]) { print "renamed undated: " to; bad = 1 }
    if (!flushed[from]) { print "renamed before its data and time were flushed with fsync: " to; bad = 1 }
    delete flushed[from]; delete dated[from]
    folder = to; sub(/\/[^\/]*$/, "", folder)
    waiting[folder] = to
  }
  END {
    for (folder in waiting) { print "folder not synced after " waiting[folder] " took its name"; bad = 1 }
    if (delivered < 6) { print "saw " delivered + 0 " deliveries, expected 6"; bad = 1 }
    if (!bad) print delivered " deliveries: dated, flushed with fsync, renamed, folder synced"
    exit bad
  }' "$trace"
