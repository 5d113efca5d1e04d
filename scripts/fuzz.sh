#!/usr/bin/env bash
# fuzz.sh [seconds] [target...]: fuzzes each target for the given time (default 600 s) in the
# sanitized tree, starting from its checked-in corpus. Inputs that crash are copied into the
# checked-in corpus (fix the fault, then commit them); the grown work corpus stays under build/.
set -euo pipefail
cd "$(dirname "$0")/.."
B=${VD_BUILD_ROOT:-build}
secs=${1:-600}; shift || true
bash scripts/setup.sh
bash scripts/build.sh asan
targets=${*:-$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')}
for t in $targets; do
  work=$B/fuzz-work/$t; mkdir -p "$work" "fuzz/corpus/$t"
  start=$(date +%s)
  rc=0
  (cd "$work" && "$OLDPWD/$B/asan/fuzz/$t" -max_total_time="$secs" -print_final_stats=1 \
      -artifact_prefix="$OLDPWD/$B/fuzz-work/$t-" . "$OLDPWD/fuzz/corpus/$t" >"../$t.log" 2>&1) || rc=$?
  for a in "$B"/fuzz-work/"$t"-crash-* "$B"/fuzz-work/"$t"-leak-* "$B"/fuzz-work/"$t"-timeout-*; do
    [ -e "$a" ] && cp "$a" "fuzz/corpus/$t/finding-$(basename "$a" | sed "s/^$t-//")"
  done
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$B/fuzz-work/$t.log" | grep -o '[0-9]*$' || echo ?)
  if [ $rc = 0 ]; then verdict=clean; else verdict="FOUND (see $B/fuzz-work/$t.log)"; fi
  printf '%-22s %6ss %12s runs  %s\n' "$t" "$(( $(date +%s) - start ))" "$runs" "$verdict"
done
