#!/usr/bin/env bash
# The SDL backend end to end with the demo: a window is created and a
# scripted click (down, a drag past the screen's edge, up) reaches the
# program as three messages in 240x320 coordinates. Once with SDL's dummy
# video driver, once in a real X server when Xvfb is installed.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${KV_BUILD_DIR:-build/release}
cmake --build "$build" -j "$(nproc)" --target wince_demo >/dev/null
demo="$build/wince/demo/wince_demo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '300 down 10 20\n350 move 250 -5\n450 up 250 -5\n' >"$work/click.txt"
printf 'down 10 20\nmove 239 0\nup 239 0\n' >"$work/want.txt"

check() { # name, backend expected
  if ! diff -u "$work/want.txt" "$work/out.txt"; then
    echo "$1: wrong stylus messages"; cat "$work/err.txt"; exit 1
  fi
  grep -q "backend: $2" "$work/err.txt" || { echo "$1: not on the $2 backend"; cat "$work/err.txt"; exit 1; }
  echo "$1: ok"
}

SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 60 "$demo" --backend=sdl --frames 30 \
  --script "$work/click.txt" >"$work/out.txt" 2>"$work/err.txt"
check "SDL dummy video" sdl

if command -v xvfb-run >/dev/null && command -v Xvfb >/dev/null && command -v xauth >/dev/null; then
  # No --backend: with a display the default is SDL.
  SDL_AUDIODRIVER=dummy timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" env -u SDL_VIDEODRIVER \
    "$demo" --frames 30 --script "$work/click.txt" >"$work/out.txt" 2>"$work/err.txt"
  check "SDL under Xvfb" sdl
  # The game itself on SDL in the sanitizer build, leaks detected: it ends
  # by itself with code 0 (the suppressions name what is not ours).
  asan=${KV_ASAN_BUILD_DIR:-build/asan}
  if [ -x "$asan/korvane" ]; then
    mkdir -p "$work/write"
    status=0
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions="$PWD/.ci/lsan.supp":print_suppressions=0 \
      SDL_AUDIODRIVER=dummy timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" env -u SDL_VIDEODRIVER \
      "$asan/korvane" --backend=sdl --data "$asan/data" --write "$work/write" --frames 60 \
      >"$work/out.txt" 2>"$work/err.txt" || status=$?
    [ "$status" -eq 0 ] || { echo "SDL game, sanitizer build: exit code $status"; tail -40 "$work/err.txt"; exit 1; }
    echo "SDL game, sanitizer build: ok"
  fi
else
  echo "Xvfb not installed: real X server run skipped"
fi
