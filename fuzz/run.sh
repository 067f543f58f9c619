#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a bounded time from its
# committed seed corpus (fuzz/corpus/<target>/), two targets at a time (one a core). New inputs go
# to a temporary folder, never into the repository; an input that breaks a property is kept in
# build-fuzz/crashes/.
#   fuzz/run.sh [SECONDS]   (30 unless given; FUZZ_SECONDS in the environment works too;
#                            FUZZ_JOBS sets how many targets run at once, 2 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${FUZZ_SECONDS:-30}}
at_once=${FUZZ_JOBS:-2}
targets=(fuzz_gbk fuzz_units fuzz_integer fuzz_import_line)

# ccache when installed, as ./quenvil.sh uses it.
launcher=
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
  launcher=ccache
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENVIL_FUZZ=ON \
  -DBUILD_TESTING=OFF -DQUENVIL_BENCH=OFF -DCMAKE_C_COMPILER_LAUNCHER="$launcher" \
  -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" >/dev/null
cmake --build build-fuzz -j2 --target fuzz_all

mkdir -p build-fuzz/crashes
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# Runs one target; its output goes to $logs/TARGET.log, its exit status to $logs/TARGET.status.
run_target() {
  local t=$1 work status=0
  work=$(mktemp -d)
  build-fuzz/fuzz/"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/crashes/"$t"- \
    "$work" fuzz/corpus/"$t" >"$logs/$t.log" 2>&1 || status=$?
  echo "$status" >"$logs/$t.status"
  rm -rf "$work"
}

for ((i = 0; i < ${#targets[@]}; i += at_once)); do
  echo "== ${targets[*]:i:at_once}: ${seconds} s"
  for t in "${targets[@]:i:at_once}"; do run_target "$t" & done
  wait
done

status=0
passed=0
failed=0
for t in "${targets[@]}"; do
  if [ "$(cat "$logs/$t.status" 2>/dev/null || echo 1)" != 0 ]; then
    echo "== $t"
    tail -n 40 "$logs/$t.log"
    echo "$t: a property broke; the input is in build-fuzz/crashes/"
    status=1
    failed=$((failed + 1))
  else
    echo "== $t"
    grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "$logs/$t.log" | tail -n 2 || true
    passed=$((passed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
exit $status
