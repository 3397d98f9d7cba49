#!/usr/bin/env bash
# Runs every fuzz target (fuzz/*_fuzzer.cpp), built with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer, and reports executions and coverage per target.
#   scripts/fuzz.sh                 1,000,000 executions per target
#   scripts/fuzz.sh --runs N        N executions per target
#   scripts/fuzz.sh --seconds S     S seconds per target (CI uses 20)
#   scripts/fuzz.sh ... NAME...     only these targets (command_line, drop, ...)
# A failing input is saved under build-sanitize/fuzz-findings/NAME/; fix the
# fault, then keep the input in fuzz/regressions/NAME/, which the tests replay.
set -euo pipefail
clipvane_root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${CLIPVANE_SANITIZE_BUILD:-$clipvane_root/build-sanitize}
limit=(-runs=1000000)
names=()
while [ $# -gt 0 ]; do
  case $1 in
    --runs) limit=(-runs="$2"); shift 2 ;;
    --seconds) limit=(-max_total_time="$2"); shift 2 ;;
    --minutes) limit=(-max_total_time=$(($2 * 60))); shift 2 ;;
    -h|--help) sed -n '2,9p' "$0"; exit 0 ;;
    *) names+=("${1%_fuzzer}"); shift ;;
  esac
done
if [ ${#names[@]} -eq 0 ]; then
  for source in "$clipvane_root"/fuzz/*_fuzzer.cpp; do
    name=$(basename "$source" .cpp)
    names+=("${name%_fuzzer}")
  done
fi

if [ -z "${CLIPVANE_FUZZ_PREBUILT:-}" ]; then
  . "$clipvane_root/scripts/packages.sh"
  clipvane_install_missing
  clipvane_configure_sanitized "$build_dir"
  targets=()
  for name in "${names[@]}"; do targets+=("${name}_fuzzer"); done
  cmake --build "$build_dir" --parallel "$(nproc)" --target "${targets[@]}"
fi

failed=0
printf '%-16s %12s %8s %8s %s\n' target executions cov ft result
for name in "${names[@]}"; do
  seeds=$clipvane_root/fuzz/corpus/$name
  [ -d "$seeds" ] || seeds=$clipvane_root/fuzz/corpus/${name}_fuzzer
  corpus=$build_dir/fuzz-corpus/$name
  findings=$build_dir/fuzz-findings/$name
  mkdir -p "$corpus" "$findings"
  log=$build_dir/fuzz-$name.log
  inputs=("$corpus")
  [ -d "$seeds" ] && inputs+=("$seeds")
  result=ok
  # Leaks are looked for by the sanitizer test run; here they would only
  # stop the search at the first one.
  if ! "$build_dir/fuzz/${name}_fuzzer" "${limit[@]}" -print_final_stats=1 -detect_leaks=0 \
      -artifact_prefix="$findings/" "${inputs[@]}" >"$log" 2>&1; then
    result="FAILED (see $log and $findings)"
    failed=1
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 || true)
  read -r _ cov _ ft <<<"${coverage:-cov: ? ft: ?}"
  printf '%-16s %12s %8s %8s %s\n' "$name" "${executions:-?}" "$cov" "$ft" "$result"
done
exit $failed
