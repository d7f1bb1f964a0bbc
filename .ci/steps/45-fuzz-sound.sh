#!/usr/bin/env bash
# Fuzzes the mixer's sample loaders and the ADPCM stream for a short while
# (libFuzzer, address and undefined-behaviour sanitizers); the seeds come from
# our sample writers.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/.ci/fuzz-tree.sh"
dir=$fuzz_dir
seconds=${KV_FUZZ_SECONDS:-20}
fuzz_tree fuzz_mixer mixer_seeds
corpus=$dir/mixer-corpus
rm -rf "$corpus" "$dir/mixer-findings"
mkdir -p "$corpus" "$dir/mixer-findings"
"$dir/tools/sound/mixer_seeds" "$corpus"
cd "$dir/mixer-findings"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$dir/tools/sound/fuzz_mixer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus" >"$dir/fuzz_mixer.log" 2>&1 || { tail -50 "$dir/fuzz_mixer.log"; exit 1; }
tail -5 "$dir/fuzz_mixer.log"
