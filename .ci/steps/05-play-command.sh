#!/usr/bin/env bash
# The README's play command, typed as a user would, on the headless backend:
# it must exit 0, write the captured frame as a 240x320 PNG into a folder it
# creates, and put every file it writes (save, logs) in the writable folder.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
frames="$work/frames"
mkdir -p "$work/write"
before=$(ls -A)
status=0
KV_WRITE_DIR="$work/write" timeout 300 ./run.sh game --backend=headless --frames 120 --capture "$frames" \
  --capture-frames 119 >"$work/out.txt" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  echo "play command: exit code $status"; tail -30 "$work/out.txt"; exit 1
fi
png="$frames/frame_000119.png"
[ -f "$png" ] || { echo "play command: no $png"; ls -la "$frames" || true; exit 1; }
# PNG signature, then the IHDR chunk's width and height (big-endian).
head=$(od -An -tx1 -N24 "$png" | tr -d ' \n')
[ "${head:0:16}" = "89504e470d0a1a0a" ] || { echo "play command: not a PNG"; exit 1; }
[ "${head:32:16}" = "000000f000000140" ] || { echo "play command: frame is not 240x320"; exit 1; }
[ "$(ls "$frames")" = "frame_000119.png" ] || { echo "play command: other frames written"; ls "$frames"; exit 1; }
[ -f "$work/write/memory.log" ] || { echo "play command: memory.log not in the writable folder"; exit 1; }
[ "$(ls -A)" = "$before" ] || { echo "play command: wrote into the current folder"; exit 1; }
echo "play command: ok"
