#!/usr/bin/env bash
# Korvane build entry.
#   ./run.sh game   install what is missing, build, and start the game
#   ./run.sh test   install what is missing, build and run every test
#                   (Release, then address+undefined sanitizers)
set -euo pipefail
cd "$(dirname "$0")"
top=$(pwd)
jobs=$(nproc 2>/dev/null || echo 4)

packages=(
  build-essential cmake pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  lzma-dev liblzma-dev libvorbisidec-dev libvorbis-dev libogg-dev
  libsdl2-dev libpng-dev zlib1g-dev libcairo2-dev libfreetype-dev fonts-dejavu-core
  libegl-mesa0 libgles1 libegl-dev libgles-dev libgl1-mesa-dri
  clang libclang-rt-14-dev
  xvfb xauth sox
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

configure_build() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -S "$top" -B "$dir" "$@"
  cmake --build "$dir" -j "$jobs"
}

run_tests() { # dir
  (cd "$1" && ctest --output-on-failure -j "$jobs" --timeout 900)
}

case "${1:-}" in
  game)
    shift
    install_missing
    # The program and its data set only; the test command builds the rest.
    cmake -S "$top" -B build/release -DCMAKE_BUILD_TYPE=Release
    cmake --build build/release -j "$jobs" --target korvane kv_data
    exec build/release/korvane "$@"
    ;;
  test)
    install_missing
    echo "== Release build"
    configure_build build/release -DCMAKE_BUILD_TYPE=Release
    run_tests build/release
    echo "== Sanitizer build (address, undefined)"
    configure_build build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_SANITIZE=ON -DKV_BENCH=OFF
    # Leak detection is on: what a test or the program allocates is freed, or
    # named with its reason in .ci/lsan.supp.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      LSAN_OPTIONS=suppressions="$top/.ci/lsan.supp":print_suppressions=0 run_tests build/asan
    # Further checks (thread sanitizer, fuzzing) live in .ci/steps.
    for step in "$top"/.ci/steps/*.sh; do
      [ -e "$step" ] || continue
      echo "== $(basename "$step")"
      bash "$step"
    done
    echo "== all tests passed"
    ;;
  *)
    echo "usage: $0 game|test" >&2
    exit 2
    ;;
esac
