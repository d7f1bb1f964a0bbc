# Sourced by the fuzz steps: the one clang build tree (libFuzzer with the
# address and undefined-behaviour sanitizers) that every fuzz target is
# built in, so the code under them is compiled once for all the steps.
#   fuzz_tree <targets...>   configures the tree, builds the targets
fuzz_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fuzz_dir=$fuzz_top/build/fuzz
fuzz_tree() {
  CC=clang CXX=clang++ cmake -S "$fuzz_top" -B "$fuzz_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKV_FUZZ=ON -DKV_SANITIZE=ON -DKV_BENCH=OFF \
    -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
  cmake --build "$fuzz_dir" -j4 --target "$@"
}
