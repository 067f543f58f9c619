#!/usr/bin/env bash
# quenvil-cli filter over one line of MB megabytes (200 unless given) against the same bytes as
# short lines, and over half that line: the time of one line must grow with its length alone
# (linear), not with its square. Best of three runs each; the shipped lists give the names.
#   cli_filter_long_line.sh [MB]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli="$here/quenvil/quenvil-cli"
mb=${1:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Short lines: the shipped lists over and over (GBK, CR LF), cut at MB megabytes.
while cat "$here"/quenvil/xm/*.txt; do :; done 2>/dev/null | head -c "$((mb * 1000000))" \
  > "$work/lines.txt" || true
# One line: the same bytes with their line breaks made blanks; and the first half of it.
tr '\r\n' '  ' < "$work/lines.txt" > "$work/line.txt"
head -c "$((mb * 500000))" "$work/line.txt" > "$work/half.txt"

best_ms() {  # the best wall time of three runs, in ms
  local best=999999999
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s%N)
    "$cli" filter "$1" > /dev/null
    t1=$(date +%s%N)
    best=$(( (t1 - t0) / 1000000 < best ? (t1 - t0) / 1000000 : best ))
  done
  echo "$best"
}

lines_ms=$(best_ms "$work/lines.txt")
line_ms=$(best_ms "$work/line.txt")
half_ms=$(best_ms "$work/half.txt")
echo "filter, $mb MB as short lines: $lines_ms ms"
echo "filter, $mb MB as one line:    $line_ms ms"
echo "filter, $((mb / 2)) MB as one line:    $half_ms ms"
awk -v a="$line_ms" -v b="$lines_ms" -v h="$half_ms" 'BEGIN {
  printf "one line against short lines: %.2f (target: at most 2)\n", a / (b > 0 ? b : 1)
  printf "whole line against half of it: %.2f (linear: about 2; quadratic: about 4)\n", a / (h > 0 ? h : 1) }'
