#!/usr/bin/env bash
# The sound player against the audio thread, under the thread sanitizer.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_TSAN=ON -DKV_BENCH=OFF >/dev/null
cmake --build build/tsan -j "$(nproc)" --target windows_brew_tests kv_data
KV_DATA_DIR="$PWD/build/tsan/data" TSAN_OPTIONS="halt_on_error=1" \
  build/tsan/tests/windows_brew/windows_brew_tests --gtest_filter='OggPlayer*' >build/tsan/sound.log 2>&1 \
  || { tail -80 build/tsan/sound.log; exit 1; }
grep -E '^\[  PASSED  \]' build/tsan/sound.log
