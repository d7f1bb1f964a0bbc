#!/usr/bin/env bash
# Fuzzes the sprite bank parser for a short while (libFuzzer, address and
# undefined-behaviour sanitizers); the seeds are banks from our writer.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/.ci/fuzz-tree.sh"
dir=$fuzz_dir
seconds=${KV_FUZZ_SECONDS:-60}
fuzz_tree fuzz_sprite_bank spritebank_seeds
corpus=$dir/sprite-corpus
rm -rf "$corpus" "$dir/sprite-findings"
mkdir -p "$corpus" "$dir/sprite-findings"
"$dir/tools/spritebank/spritebank_seeds" "$corpus"
cd "$dir/sprite-findings"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$dir/tools/spritebank/fuzz_sprite_bank" -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus"
