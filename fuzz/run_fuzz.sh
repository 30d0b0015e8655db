#!/usr/bin/env bash
# Runs every libFuzzer target of BUILD_DIR for SECONDS each on a copy of its corpus in fuzz/corpus,
# one after the other. Whatever the runs find (inputs that crash, hang, leak or run out of
# memory) is kept under BUILD_DIR/fuzz-findings; the exit status is 1 when anything was found.
# Usage: fuzz/run_fuzz.sh BUILD_DIR SECONDS
set -uo pipefail
build=${1:?build folder}
seconds=${2:-60}
source_dir=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$build" && pwd)
findings=$build/fuzz-findings
mkdir -p "$findings"

# Target and the longest input worth trying for it.
targets=(roll_entry:1024 ini_read:4096 jet_sql:2048 xlsx_template:16384 database_open:16384
         jet_reader:131072)

failed=0
for entry in "${targets[@]}"; do
  name=${entry%%:*}
  max_len=${entry##*:}
  work=$build/fuzz-run/$name
  rm -rf "$work"
  mkdir -p "$work/corpus"
  cp "$source_dir/corpus/$name/"* "$work/corpus/"
  log=$work/fuzz.log
  before=$(ls "$findings" | grep -c "^$name-" || true)
  UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/bin/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -max_len="$max_len" \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$name-" \
    "$work/corpus" >"$log" 2>&1
  status=$?
  runs=$(grep -o '^Done [0-9]* runs in [0-9]* second' "$log" | tail -1)
  after=$(ls "$findings" | grep -c "^$name-" || true)
  if [ "$status" -ne 0 ] || [ "$after" -ne "$before" ]; then
    failed=1
    echo "fuzz: $name FOUND A PROBLEM (exit $status); log: $log"
    grep -E '^==[0-9]+==|ERROR|broken promise|SUMMARY' "$log" | head -5 | sed 's/^/  /'
    grep -o "Test unit written to .*" "$log" | sed 's/^Test unit written to /  reproducer: /'
  else
    echo "fuzz: $name ok (${runs:-no runs})"
  fi
done
exit $failed
