#!/usr/bin/env bash
# Two minutes of seeded random touches on the real program under SDL in an X
# server (Xvfb): taps, held presses and drags all over the screen. The run
# must end by itself at its frame limit with code 0; a hang runs into the
# timeout, a crash or a sanitizer report ends it with another code.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${KV_BUILD_DIR:-build/release}
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null || ! command -v xauth >/dev/null; then
  echo "Xvfb not installed: SDL soak skipped"; exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seconds=${KV_SDL_SOAK_SECONDS:-120}
frames=$((seconds * 30))
# The script: seed 46, one gesture every 40-1500 ms up to the run's end.
awk -v seed=46 -v end=$((seconds * 1000)) 'BEGIN {
  srand(seed); t = 500
  while (t < end) {
    x = int(rand() * 240); y = int(rand() * 320)
    printf "%d down %d %d\n", t, x, y
    if (rand() < 0.3) {
      n = 2 + int(rand() * 20); tx = int(rand() * 240); ty = int(rand() * 320)
      for (i = 1; i <= n; i++) { t += 15 + int(rand() * 40); printf "%d move %d %d\n", t, x + (tx - x) * i / n, y + (ty - y) * i / n }
      x = tx; y = ty
    }
    t += 20 + int(rand() * (rand() < 0.2 ? 1200 : 150))
    printf "%d up %d %d\n", t, x, y
    t += 40 + int(rand() * 1500)
  }
}' >"$work/script.txt"
mkdir -p "$work/write"
status=0
SDL_AUDIODRIVER=dummy timeout $((seconds + 90)) xvfb-run -a -s "-screen 0 1024x768x24" env -u SDL_VIDEODRIVER \
  "$build/korvane" --backend=sdl --data "$build/data" --write "$work/write" --script "$work/script.txt" \
  --frames "$frames" >"$work/log.txt" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  echo "SDL soak: exit code $status (124: no end within the time, a hang)"; tail -40 "$work/log.txt"; exit 1
fi
echo "SDL soak: $seconds s of random touches, ok"
