#!/usr/bin/env bash
# Every test program run whole, as one process outside CTest, from a fresh
# folder and in a shuffled order. CTest runs each test in a process of its
# own and would miss a test that leans on an earlier one, leaves state
# behind or cannot skip without the data set. The Release programs run
# twice, with the data set and without it (no KV_DATA_DIR: the tests that
# read it skip); the sanitizer programs once, without it, which keeps the
# step to a few minutes.
#   KV_WHOLE_RUNS    "<build dir>:<data|bare>,..." ... (default below)
#   KV_SHUFFLE_SEED  the order's seed (default: a new one; each run prints it)
set -euo pipefail
cd "$(dirname "$0")/../.."
top=$(pwd)
plan=${KV_WHOLE_RUNS:-build/asan:bare build/release:data,bare}
export KV_SHUFFLE_SEED=${KV_SHUFFLE_SEED:-0}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions="$top/.ci/lsan.supp":print_suppressions=0

# One run: program, data folder (- for none), log. Prints one line; a
# failed run leaves <log>.failed.
whole_run() {
  local program=$1 data=$2 log=$3 work status=0 what
  work=$(mktemp -d)
  rm -f "$log.failed"
  if [ "$data" != - ]; then
    what="with the data set"
    (cd "$work" && KV_DATA_DIR="$data" timeout 900 "$program" --gtest_shuffle \
      --gtest_random_seed="$KV_SHUFFLE_SEED") >"$log" 2>&1 || status=$?
  else
    what="without data"
    (cd "$work" && env -u KV_DATA_DIR timeout 900 "$program" --gtest_shuffle \
      --gtest_random_seed="$KV_SHUFFLE_SEED") >"$log" 2>&1 || status=$?
  fi
  rm -rf "$work"
  what="$program $what, $(grep -m1 -o 'seed of [0-9]*' "$log" || echo 'no order')"
  if [ "$status" -ne 0 ]; then
    touch "$log.failed"
    echo "FAILED (code $status): $what"
    return 1
  fi
  echo "ok: $what: $(grep -E -o '^\[  (PASSED  |SKIPPED )\] [0-9]+' "$log" |
    sed -e 's/^.  PASSED  ./passed/' -e 's/^.  SKIPPED ./skipped/' | paste -sd' ' -)"
}
export -f whole_run

runs=()
logs=()
for entry in $plan; do
  build=$(cd "${entry%%:*}" && pwd)
  modes=${entry#*:}
  mkdir -p "$build/whole-runs"
  # The slow programs first, so that the parallel runs end together.
  programs=$(find "$build/tests" -name '*_tests' -type f -perm -u+x | sort)
  [ -n "$programs" ] || { echo "whole runs: no test programs in $build"; exit 1; }
  for name in soak_tests pool_tests game_tests e2e_tests; do
    programs=$(printf '%s\n' "$programs" | grep "/$name\$" || true; printf '%s\n' "$programs" | grep -v "/$name\$" || true)
  done
  for program in $programs; do
    for mode in ${modes//,/ }; do
      log="$build/whole-runs/$(basename "$program").$mode.log"
      if [ "$mode" = data ]; then
        runs+=("$program $build/data $log")
      else
        runs+=("$program - $log")
      fi
      logs+=("$log")
    done
  done
done
if printf '%s\n' "${runs[@]}" | xargs -P "$(nproc)" -L1 bash -c 'whole_run "$@"' _; then
  exit 0
fi
for log in "${logs[@]}"; do
  [ -e "$log.failed" ] || continue
  echo "== $log"
  if grep -q -E '^\[  FAILED  \]' "$log"; then
    grep -E -B2 -A12 'Failure$|^\[  FAILED  \] .*\(' "$log" | head -120
  else
    tail -60 "$log"
  fi
done
exit 1
