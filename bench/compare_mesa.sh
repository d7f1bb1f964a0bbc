#!/usr/bin/env bash
# The renderer's scenes (bench/gles/Scenes.h: full-screen quad, 400 small
# triangles, the ball view) timed on ours and on Mesa's llvmpipe with one
# thread and with all threads, in one run, side by side with the ratios.
#   bench/compare_mesa.sh [build dir] [frames per timing]
# Mesa columns read n/a where EGL or OpenGL ES 1 is not installed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
frames=${2:-200}
cmake --build "$build" --target gles_bench >/dev/null
cmake --build "$build" --target glref >/dev/null 2>&1 || echo "glref not built here: Mesa columns will read n/a"
exec "$build/bench/gles/gles_bench" --compare="$frames"
