#!/usr/bin/env bash
# Makes the README's screenshots from headless runs of the built program:
#   tools/screenshots/make.sh [BUILD_DIR]     (default build/release)
# Each shot is a stylus script of this folder and the frame to capture; the
# PNGs go to docs/screenshots/ (or KV_SHOTS_DIR). The runs are on the virtual clock, so the same
# build gives the same pictures.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$top/build/release}" && pwd)
out="${KV_SHOTS_DIR:-$top/docs/screenshots}"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name  script  frame
shots=(
  "main-menu   main-menu    420"
  "pub         pub          960"
  "match       quick-match  1300"
  "ball-view   ball-view    1788"
  "shop        shop         1340"
  "challenge   challenge    1420"
)
for shot in "${shots[@]}"; do
  read -r name script frame <<<"$shot"
  rm -rf "$work/write" "$work/cap"
  mkdir -p "$work/write"
  "$build/korvane" --backend=headless --data "$build/data" --write "$work/write" \
    --script "$here/$script.script" --frames $((frame + 1)) --capture "$work/cap" --capture-frames "$frame" \
    >"$work/log.txt" 2>&1 || { echo "screenshots: $name: the program failed"; tail -20 "$work/log.txt"; exit 1; }
  png=$(printf '%s/cap/frame_%06d.png' "$work" "$frame")
  [ -f "$png" ] || { echo "screenshots: $name: frame $frame was not reached"; exit 1; }
  cp "$png" "$out/$name.png"
  echo "screenshots: $out/$name.png"
done
