#!/usr/bin/env bash
# quenvil-cli filter over a 1,000,000-line name list against iconv over the same file, measured
# in the same run (best of five each).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli="$here/quenvil/quenvil-cli"
list=$(mktemp --suffix=.txt)
trap 'rm -f "$list"' EXIT
# 1,000,000 lines from the shipped lists.
cat "$here"/quenvil/xm/{王,张,李,黄,刘,陈,杨,赵,周,吴,徐,孙,马,朱,胡,郭,何,高,林,郑,梁,谢,宋,唐,许,韩,冯,邓,曹,彭,曾,肖,田,董}.txt | head -n 1000000 > "$list" || true  # head closes the pipe early
best() {
  local best=999999
  for _ in 1 2 3 4 5; do
    local t0 t1
    t0=$(date +%s%N)
    "$@" > /dev/null
    t1=$(date +%s%N)
    local ms=$(( (t1 - t0) / 1000000 ))
    (( ms < best )) && best=$ms
  done
  echo "$best"
}
lines=$(wc -l < "$list")
iconv_ms=$(best iconv -f GBK -t UTF-8 "$list")
cli_ms=$(best "$cli" filter "$list")
echo "lines: $lines"
echo "iconv -f GBK -t UTF-8: ${iconv_ms} ms"
echo "quenvil-cli filter:    ${cli_ms} ms"
awk -v a="$cli_ms" -v b="$iconv_ms" 'BEGIN { printf "ratio: %.1f (target: at most 10)\n", a / (b > 0 ? b : 1) }'
