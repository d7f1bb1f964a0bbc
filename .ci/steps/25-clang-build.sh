#!/usr/bin/env bash
# The whole tree (libraries, program, tools, tests, benchmarks) built with
# clang too, warnings as errors: our code stays warning-free with both
# compilers. Nothing is run here; the data set is built as in Release.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/clang
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
start=$(date +%s)
cmake --build "$build" -j "$(nproc)" >"$build/build.log" 2>&1 || {
  grep -E -A5 'error|warning' "$build/build.log" | head -80; echo "clang build: failed"; exit 1; }
echo "clang build: no warnings ($(($(date +%s) - start)) s)"
