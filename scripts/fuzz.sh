#!/usr/bin/env bash
# Runs each named fuzz target of a build for SECONDS (libFuzzer under the build's sanitizers),
# growing BUILD/corpus/NAME from the seeds in fuzz/corpus/NAME, then prints every target's
# executions and rate. A finding stops the run at once (after the table of the targets so far)
# with the target's exit status; its log stays in BUILD/fuzz-logs/NAME.log.
#
# Usage: scripts/fuzz.sh BUILD SECONDS NAME...
set -u

if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD SECONDS NAME..." >&2
  exit 2
fi
build=$1
seconds=$2
shift 2

# The rate every target must keep under the sanitizers to explore at all.
min_rate=100

rows=()

print_table() {
  printf '\n%-40s %12s %8s %10s\n' target executions seconds "inputs/s"
  local row
  for row in "${rows[@]}"; do printf '%s\n' "$row"; done
}

mkdir -p "$build/fuzz-logs"
for name in "$@"; do
  mkdir -p "$build/corpus/$name"
  log=$build/fuzz-logs/$name.log
  start=$(date +%s%N)
  "$build/$name" -max_total_time="$seconds" -entropic=0 -print_final_stats=1 \
    "$build/corpus/$name" "fuzz/corpus/$name" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  end=$(date +%s%N)
  units=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  units=${units:-0}
  # libFuzzer's own count of the run's seconds when it finished; the wall clock otherwise.
  elapsed=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  [ -n "$elapsed" ] && [ "$elapsed" -gt 0 ] || elapsed=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.1f", ns / 1e9 }')
  rate=$(awk -v u="$units" -v s="$elapsed" 'BEGIN { printf "%.1f", (s > 0) ? u / s : 0 }')
  note=""
  awk -v r="$rate" -v m="$min_rate" 'BEGIN { exit !(r < m) }' && note="  below $min_rate/s"
  [ "$status" -ne 0 ] && note="  FINDING (exit $status), see $log"
  rows+=("$(printf '%-40s %12s %8s %10s%s' "$name" "$units" "$elapsed" "$rate" "$note")")
  if [ "$status" -ne 0 ]; then
    print_table
    exit "$status"
  fi
done
print_table
