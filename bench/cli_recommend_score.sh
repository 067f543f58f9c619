#!/usr/bin/env bash
# quenvil-cli recommend, process start to last line, for several surnames (best of ten), and
# quenvil-cli score over a 10,000,000-name file: names per second after start-up.
# Wall time and CPU time (user + system) are both given: on a shared machine the wall time
# grows with the other load, the CPU time much less.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli="$here/quenvil/quenvil-cli"

# best RUNS COMMAND...: "wall_ms cpu_ms", the best of each over RUNS runs.
best() {
  local runs=$1
  shift
  local TIMEFORMAT='%R %U %S'
  local wall=999999 cpu=999999
  for ((i = 0; i < runs; ++i)); do
    local t
    t=$({ time "$@" > /dev/null 2>&1; } 2>&1)
    read -r w u s <<< "$t"
    wall=$(awk -v a="$wall" -v b="$w" 'BEGIN { b *= 1000; print (b < a ? b : a) }')
    cpu=$(awk -v a="$cpu" -v u="$u" -v s="$s" 'BEGIN { b = (u + s) * 1000; print (b < a ? b : a) }')
  done
  echo "$wall $cpu"
}

echo "recommend, process start to last line, best of 10 (target: under 100 ms):"
printf "  %-24s %8s %8s\n" "" "wall ms" "cpu ms"
run_recommend() {
  local label=$1
  shift
  read -r wall cpu <<< "$(best 10 "$cli" recommend "$@")"
  printf "  %-24s %8.0f %8.0f\n" "$label" "$wall" "$cpu"
}
for surname in 王 李 罗 苏 顾 欧阳 诸葛 尉迟; do run_recommend "$surname" "$surname"; done
run_recommend "罗 --gender m --length 1" 罗 --gender m --length 1
run_recommend "苏 --fixed 子 --at 2" 苏 --fixed 子 --at 2 --top 500
read -r wall cpu <<< "$(best 10 "$cli" strokes 罗)"
printf "  %-24s %8.0f %8.0f\n" "(strokes 罗: opening only)" "$wall" "$cpu"

# 10,000,000 names: the shipped lists (GBK, CR LF) repeated, converted once to UTF-8.
list=$(mktemp --suffix=.txt)
one=$(mktemp --suffix=.txt)
trap 'rm -f "$list" "$one"' EXIT
for _ in 1 2 3; do cat "$here"/quenvil/xm/*.txt; done 2> /dev/null | head -n 10000000 |
  iconv -f GBK -t UTF-8 > "$list" || true
echo 黄思婷 > "$one"
names=$(wc -l < "$list")
read -r start_wall start_cpu <<< "$(best 5 "$cli" score "$one")"
read -r total_wall total_cpu <<< "$(best 3 "$cli" score "$list")"
echo "score: $names names (UTF-8, $(( $(stat -c %s "$list") / 1000000 )) MB), best of 3"
printf "  start-up (one name):  %8.0f ms wall %8.0f ms cpu\n" "$start_wall" "$start_cpu"
printf "  all names:            %8.0f ms wall %8.0f ms cpu\n" "$total_wall" "$total_cpu"
awk -v n="$names" -v tw="$total_wall" -v sw="$start_wall" -v tc="$total_cpu" -v sc="$start_cpu" \
  'BEGIN { printf "  names per second after start-up: %.0f wall, %.0f cpu (target: at least 1,000,000)\n",
           n / ((tw - sw) / 1000), n / ((tc - sc) / 1000) }'
