#!/usr/bin/env bash
# Fuzzes the resource index and pack reader and the texture loaders for a
# short while each (libFuzzer, address and undefined-behaviour sanitizers);
# the seeds come from our pack and Targa writers.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/.ci/fuzz-tree.sh"
dir=$fuzz_dir
seconds=${KV_FUZZ_SECONDS:-20}
fuzz_tree fuzz_pack fuzz_texture pack_seeds
rm -rf "$dir/pack-corpus" "$dir/texture-corpus" "$dir/pack-findings"
mkdir -p "$dir/pack-corpus" "$dir/texture-corpus" "$dir/pack-findings"
"$dir/tools/pack/pack_seeds" "$dir/pack-corpus" "$dir/texture-corpus"
cd "$dir/pack-findings"
for target in pack texture; do
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$dir/tools/pack/fuzz_$target" -max_total_time="$seconds" -max_len=70000 -rss_limit_mb=2048 \
    -print_final_stats=1 "$dir/$target-corpus" >"$dir/fuzz-$target.log" 2>&1 || { tail -50 "$dir/fuzz-$target.log"; exit 1; }
  grep -a "DONE\|stat::number_of_executed_units" "$dir/fuzz-$target.log" | tail -2
done
