#!/usr/bin/env bash
# quenvil-cli filter over a name list of NAMES lines (10,000,000 unless given) against
# `iconv -f GBK -t UTF-8` over the same file, five runs each in the same run, compared by their
# medians; then the peak memory (/usr/bin/time -v) of `filter` on that list and of `import` of
# the same names on one line.
#   bench_cli_filter_vs_iconv.sh [NAMES]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
program="$here/quenvil"
names=${1:-10000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
list="$work/list.txt"

# The shipped lists, over and over, cut at NAMES lines (GBK, CR LF).
# (The loop ends when head has enough and closes the pipe: cat then fails.)
while cat "$program"/xm/*.txt; do :; done 2>/dev/null | head -n "$names" > "$list" || true

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
runs() {
  for _ in 1 2 3 4 5; do
    local t0 t1
    t0=$(date +%s%N)
    "$@" > /dev/null
    t1=$(date +%s%N)
    echo $(( (t1 - t0) / 1000000 ))
  done
}
peak_kib() {  # peak resident memory of a command, in KiB
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { print $2 }'
}

lines=$(wc -l < "$list")
bytes=$(stat -c %s "$list")
iconv_ms=$(runs iconv -f GBK -t UTF-8 "$list" | median)
cli_ms=$(runs "$program/quenvil-cli" filter "$list" | median)
echo "list: $lines lines, $bytes bytes"
echo "iconv -f GBK -t UTF-8: median ${iconv_ms} ms"
echo "quenvil-cli filter:    median ${cli_ms} ms"
awk -v a="$cli_ms" -v b="$iconv_ms" \
  'BEGIN { printf "ratio of medians: %.2f (target: at most 3)\n", a / (b > 0 ? b : 1) }'

filter_kib=$(peak_kib "$program/quenvil-cli" filter "$list")
echo "filter peak RSS: $((filter_kib / 1024)) MiB (target: at most 64 MiB)"

# The import writes data.Mdb: a copy of the program folder takes it.
mkdir "$work/program"
cp "$program/quenvil-cli" "$program/data.Mdb" "$work/program/"
line="$work/line.txt"
tr '\r\n' '  ' < "$list" > "$line"
line_bytes=$(stat -c %s "$line")
t0=$(date +%s%N)
import_kib=$(peak_kib "$work/program/quenvil-cli" import "$line")
t1=$(date +%s%N)
awk -v kib="$import_kib" -v line="$line_bytes" -v n="$lines" -v ms=$(( (t1 - t0) / 1000000 )) \
  'BEGIN { printf "import peak RSS: %d MiB for a line of %d bytes, %.1f bytes a name beyond the line (target: about 40); %d ms\n",
           kib / 1024, line, (kib * 1024 - line) / n, ms }'
