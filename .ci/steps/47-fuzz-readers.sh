#!/usr/bin/env bash
# Fuzzes the readers of the save file, the sound files, the opponent
# profiles and the character map, and the layer's script and command-line
# parsers, for a short while each (libFuzzer, address and undefined-behaviour
# sanitizers). Seeds: our save writer, the data set's sounds, its profiles
# and its character map, and scripts and command lines of our own. Built in
# the fuzz steps' one clang tree.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/.ci/fuzz-tree.sh"
dir=$fuzz_dir
data=${KV_BUILD_DIR:-$top/build/release}/data
seconds=${KV_FUZZ_SECONDS:-60}
each=$((seconds / 6 > 0 ? seconds / 6 : 1))
fuzz_tree fuzz_save save_seeds fuzz_ogg fuzz_profiles profile_seeds fuzz_charmap fuzz_script fuzz_options \
  layer_seeds
work=$dir/readers
rm -rf "$work"
mkdir -p "$work"/{save,ogg,profiles,charmap,script,options,findings}
"$dir/tools/save/save_seeds" "$work/save"
"$dir/tools/misc/profile_seeds" "$top/assets/misc/profiles.txt" "$work/profiles"
cp "$dir/fonts/charmap.bin" "$work/charmap/"
head -c 100 "$dir/fonts/charmap.bin" >"$work/charmap/short.bin"
"$dir/tools/layer/layer_seeds" "$work/script" "$work/options"
if compgen -G "$data/*.ogg" >/dev/null; then
  cp "$data"/*.ogg "$work/ogg/"
else
  echo "no built data set in $data: the sound fuzzer starts from nothing"
fi
# The save is committed to the disk at every write: a memory file system
# keeps that cheap.
tmp=/dev/shm
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
run() { # target, folder of the binary, corpus, longest input
  local target=$1 bin=$2 corpus=$3 max_len=$4
  (cd "$work/findings" && TMPDIR=$tmp ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$dir/$bin/$target" -max_total_time="$each" \
    -max_len="$max_len" -rss_limit_mb=2048 -print_final_stats=1 "$corpus" >"$work/$target.log" 2>&1) ||
    { tail -50 "$work/$target.log"; exit 1; }
  echo "$target:"; grep -E "^(Done|stat::number_of_executed_units)" "$work/$target.log"
}
run fuzz_save tools/save "$work/save" 1024
run fuzz_ogg tools/sound "$work/ogg" 20000
run fuzz_profiles tools/misc "$work/profiles" 2048
run fuzz_charmap tools/font "$work/charmap" 2048
run fuzz_script tools/layer "$work/script" 4096
run fuzz_options tools/layer "$work/options" 1024
