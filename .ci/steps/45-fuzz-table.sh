#!/usr/bin/env bash
# Fuzzes the table layout reader and the world built from it for a short
# while (libFuzzer, address and undefined-behaviour sanitizers); the seeds
# come from our layout writer.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/.ci/fuzz-tree.sh"
dir=$fuzz_dir
seconds=${KV_FUZZ_SECONDS:-20}
fuzz_tree fuzz_table table_seeds
corpus=$dir/table-corpus
rm -rf "$corpus" "$dir/table-findings"
mkdir -p "$corpus" "$dir/table-findings"
"$dir/tools/table/table_seeds" "$corpus"
cd "$dir/table-findings"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$dir/tools/table/fuzz_table" -max_total_time="$seconds" -max_len=2048 -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus" >"$dir/fuzz_table.log" 2>&1 || { tail -50 "$dir/fuzz_table.log"; exit 1; }
grep -E "^(Done|stat::)" "$dir/fuzz_table.log"
