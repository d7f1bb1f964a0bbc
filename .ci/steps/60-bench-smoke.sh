#!/usr/bin/env bash
# Benchmark smoke: the comparison with Mesa runs end to end (a few frames per
# timing; the figures are not checked), and each benchmark program runs one
# short pass.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${KV_BUILD_DIR:-build/release}
out=$(bench/compare_mesa.sh "$build" 5)
echo "$out"
for scene in quad small ballview; do
  echo "$out" | grep -q "^$scene " || { echo "bench smoke: no row for $scene"; exit 1; }
done
for b in "$build"/bench/host/host_bench "$build"/bench/2d/blit_bench; do
  [ -x "$b" ] || continue
  "$b" --benchmark_filter='BM_(StraightCopy|ScaleBlit|BlitOpaque|SpriteModule)' --benchmark_min_time=0.001 \
    >/dev/null 2>"$build/bench-smoke.log" || { cat "$build/bench-smoke.log"; exit 1; }
done
# The whole program's start-up and match frames: each runs once.
fb="$build/bench/game/frame_bench"
if [ -x "$fb" ]; then
  "$fb" --benchmark_filter='BM_(StartUpToMainMenu|MatchFrame)' >"$build/bench-frame.log" 2>&1 || {
    cat "$build/bench-frame.log"; exit 1; }
  grep -q "ERROR OCCURRED" "$build/bench-frame.log" && { cat "$build/bench-frame.log"; exit 1; }
  grep "^BM_" "$build/bench-frame.log"
fi
echo "bench smoke: ok"
