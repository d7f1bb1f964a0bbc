#!/usr/bin/env bash
# Fuzzes the table layout reader and the world built from it for a short
# while (libFuzzer, address and undefined-behaviour sanitizers); the seeds
# come from our layout writer.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
dir=$top/build/fuzz-table
seconds=${KV_FUZZ_SECONDS:-20}
CC=clang CXX=clang++ cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKV_FUZZ=ON -DKV_SANITIZE=ON -DKV_BENCH=OFF \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$dir" -j4 --target fuzz_table table_seeds
corpus=$dir/table-corpus
rm -rf "$corpus" "$dir/table-findings"
mkdir -p "$corpus" "$dir/table-findings"
"$dir/tools/table/table_seeds" "$corpus"
cd "$dir/table-findings"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$dir/tools/table/fuzz_table" -max_total_time="$seconds" -max_len=2048 -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus" >"$dir/fuzz.log" 2>&1 || { tail -50 "$dir/fuzz.log"; exit 1; }
grep -E "^(Done|stat::)" "$dir/fuzz.log"
