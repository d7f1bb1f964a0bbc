#!/usr/bin/env bash
# Fuzzes the archive reader and the text table loader, then the interface
# parser and the painter and element accessors over it, for a short while
# each (libFuzzer, address and undefined-behaviour sanitizers). The seeds
# come from our archive, text and interface writers and from the data set
# the Release build made.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/.ci/fuzz-tree.sh"
dir=$fuzz_dir
data=${KV_BUILD_DIR:-$top/build/release}/data
seconds=${KV_FUZZ_SECONDS:-30}
fuzz_tree fuzz_archive fuzz_text bar_seeds fuzz_interfaces fuzz_interface_paint interface_seeds fuzz_model fuzz_animation model_seeds
corpus=$dir/archive-corpus
rm -rf "$corpus" "$dir/archive-findings"
mkdir -p "$corpus" "$dir/archive-findings"
"$dir/tools/bar/bar_seeds" "$corpus"
if compgen -G "$data/*.bar" >/dev/null; then
  for f in "$data"/*.bar; do cp "$f" "$corpus/data-$(basename "$f")"; done
else
  echo "no built data set in $data: writer seeds only"
fi
# Inputs may be as long as the largest seed.
max_len=$(find "$corpus" -type f -printf '%s\n' | sort -n | tail -1)
[ "$max_len" -ge 4096 ] || max_len=4096
cd "$dir/archive-findings"
for target in fuzz_archive fuzz_text; do
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$dir/tools/bar/$target" -max_total_time=$((seconds / 2)) -max_len="$max_len" -rss_limit_mb=2048 \
    -print_final_stats=1 "$corpus" >"$dir/$target.log" 2>&1 || { tail -50 "$dir/$target.log"; exit 1; }
  echo "$target:"; tail -5 "$dir/$target.log"
done
# Interfaces: one entry's records per input.
corpus=$dir/interface-corpus
rm -rf "$corpus" "$dir/interface-findings"
mkdir -p "$corpus" "$dir/interface-findings"
"$dir/tools/interface/interface_seeds" "$corpus"
cd "$dir/interface-findings"
for target in fuzz_interfaces fuzz_interface_paint; do
  [ "$target" = fuzz_interfaces ] && share=$((seconds / 3)) || share=$((seconds * 2 / 3))
  [ "$share" -ge 1 ] || share=1
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$dir/tools/interface/$target" -max_total_time=$share -max_len=1024 -rss_limit_mb=2048 \
    -print_final_stats=1 "$corpus" >"$dir/$target.log" 2>&1 || { tail -50 "$dir/$target.log"; exit 1; }
  echo "$target:"; grep -E "^(Done|stat::)" "$dir/$target.log"
done
# Models: read, then drawn as they are and through a matrix. Animated meshes
# and tracks: read, evaluated, skinned and drawn.
corpus=$dir/model-corpus
rm -rf "$corpus" "$dir/model-findings" "$dir/animation-corpus"
mkdir -p "$corpus" "$dir/model-findings" "$dir/animation-corpus"
"$dir/tools/model/model_seeds" "$corpus" "$dir/animation-corpus"
cd "$dir/model-findings"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$dir/tools/model/fuzz_model" -max_total_time=$((seconds / 2)) -max_len=4096 -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus" >"$dir/fuzz_model.log" 2>&1 || { tail -50 "$dir/fuzz_model.log"; exit 1; }
echo "fuzz_model:"; grep -E "^(Done|stat::)" "$dir/fuzz_model.log"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$dir/tools/model/fuzz_animation" -max_total_time=$((seconds / 2)) -max_len=4096 -rss_limit_mb=2048 \
  -print_final_stats=1 "$dir/animation-corpus" >"$dir/fuzz_animation.log" 2>&1 || { tail -50 "$dir/fuzz_animation.log"; exit 1; }
echo "fuzz_animation:"; grep -E "^(Done|stat::)" "$dir/fuzz_animation.log"
