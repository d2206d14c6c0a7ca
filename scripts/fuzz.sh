#!/usr/bin/env bash
# Runs every fuzz target over its seed corpus (fuzz/corpus/NAME) and then for
# SECONDS more seconds of new inputs; prints runs and runs per second.
#   scripts/fuzz.sh BUILD-FOLDER SECONDS
# New inputs go to a temporary folder, so the seed corpus stays as it is; a
# crash leaves its input in fuzz-artifacts/ and fails the run.
set -euo pipefail
build=$1
seconds=${2:-10}
cd "$(dirname "$0")/.."
# A small quarantine keeps freed memory in use: fresh pages for every run would take most of its time.
export ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16 UBSAN_OPTIONS=print_stacktrace=1
mkdir -p fuzz-artifacts
status=0
for fuzzer in "$build"/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer" _fuzzer)
  found=$(mktemp -d)
  log=$(mktemp)
  if "$fuzzer" "$found" "fuzz/corpus/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix=fuzz-artifacts/"$name"- -print_final_stats=1 >"$log" 2>&1; then
    runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
    echo "$name: $runs runs, $((runs / seconds)) a second, no failure"
  else
    echo "$name: FAILED"
    tail -n 40 "$log"
    status=1
  fi
  rm -rf "$found" "$log"
done
exit $status
