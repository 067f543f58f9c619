#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a bounded time from its
# committed seed corpus (fuzz/corpus/<target>/). New inputs go to a temporary folder, never into
# the repository; an input that breaks a property is kept in build-fuzz/crashes/.
#   fuzz/run.sh [SECONDS]   (30 unless given; FUZZ_SECONDS in the environment works too)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${FUZZ_SECONDS:-30}}
targets=(fuzz_gbk fuzz_units fuzz_integer fuzz_import_line)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENVIL_FUZZ=ON \
  -DBUILD_TESTING=OFF -DQUENVIL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j2 --target fuzz_all

mkdir -p build-fuzz/crashes
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
passed=0
failed=0
for t in "${targets[@]}"; do
  work=$(mktemp -d)
  echo "== $t: ${seconds} s"
  if ! build-fuzz/fuzz/"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/crashes/"$t"- \
      "$work" fuzz/corpus/"$t" 2>"$work.log"; then
    tail -n 40 "$work.log"
    echo "$t: a property broke; the input is in build-fuzz/crashes/"
    status=1
    failed=$((failed + 1))
  else
    grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "$work.log" | tail -n 2 || true
    passed=$((passed + 1))
  fi
  rm -rf "$work" "$work.log"
done
echo "fuzz: $passed passed, $failed failed"
exit $status
