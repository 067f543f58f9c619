#!/usr/bin/env bash
# quenvil-cli recommend, process start to last line, for several surnames (best of ten), and
# quenvil-cli score over a 10,000,000-name file: names per second after start-up.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli="$here/quenvil/quenvil-cli"
ms_of() {  # best wall time in milliseconds (with fractions) of a command, of N runs
  local runs=$1
  shift
  local best=999999999
  for ((i = 0; i < runs; ++i)); do
    local t0 t1
    t0=$(date +%s%N)
    "$@" > /dev/null
    t1=$(date +%s%N)
    local us=$(( (t1 - t0) / 1000 ))
    (( us < best )) && best=$us
  done
  awk -v us="$best" 'BEGIN { printf "%.1f", us / 1000 }'
}

echo "recommend, process start to last line (best of 10; target: under 100 ms):"
for surname in 王 李 罗 苏 顾 欧阳 诸葛 尉迟; do
  printf "  %-6s %s ms\n" "$surname" "$(ms_of 10 "$cli" recommend "$surname")"
done
printf "  %-6s %s ms\n" "罗 m 1" "$(ms_of 10 "$cli" recommend 罗 --gender m --length 1)"
printf "  %-6s %s ms\n" "苏 字辈" "$(ms_of 10 "$cli" recommend 苏 --fixed 子 --at 2 --top 500)"

# 10,000,000 names: the shipped lists (GBK, CR LF), again and again, converted once to UTF-8.
list=$(mktemp --suffix=.txt)
one=$(mktemp --suffix=.txt)
trap 'rm -f "$list" "$one"' EXIT
{ while :; do cat "$here"/quenvil/xm/*.txt; done; } | head -n 10000000 | iconv -f GBK -t UTF-8 > "$list" || true
echo 黄思婷 > "$one"
names=$(wc -l < "$list")
start_ms=$(ms_of 5 "$cli" score "$one")
total_ms=$(ms_of 3 "$cli" score "$list")
echo "score: $names names (UTF-8, $(( $(stat -c %s "$list") / 1000000 )) MB)"
echo "  start-up (one name):  $start_ms ms"
echo "  all names:            $total_ms ms"
awk -v n="$names" -v t="$total_ms" -v s="$start_ms" \
  'BEGIN { printf "  names per second after start-up: %.0f (target: at least 1,000,000)\n", n / ((t - s) / 1000) }'
