#!/usr/bin/env bash
# Runs one fuzzer for $STORMGLASS_FUZZ_SECONDS (default 60) with its seeds
# and dictionary. New inputs are
# kept in WORK for the next run; a crash, leak, timeout or out-of-memory
# leaves its reproducer in FINDINGS and fails.
# Usage: run_fuzzer.sh FUZZER DICT MAX_LEN SEEDS WORK FINDINGS
set -euo pipefail
fuzzer=$1 dict=$2 max_len=$3 seeds=$4 work=$5 findings=$6
seconds=${STORMGLASS_FUZZ_SECONDS:-60}
rm -rf "$findings"
mkdir -p "$work" "$findings"
log=$findings/fuzzer.log
code=0
"$fuzzer" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -dict="$dict" -artifact_prefix="$findings/" "$work" "$seeds" >"$log" 2>&1 || code=$?
execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
found=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \))
echo "$(basename "$fuzzer"): ${execs:-?} executions, ${rate:-?} a second, $(find "$work" -type f | wc -l) inputs kept"
if [ "$code" != 0 ] || [ -n "$found" ]; then
  grep -m1 -E 'ERROR: |runtime error|==ERROR|SUMMARY' "$log" || tail -5 "$log"
  for f in $found; do echo "reproducer: $f (replay: $fuzzer $f)"; done
  exit 1
fi
