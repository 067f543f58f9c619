#!/usr/bin/env bash
# The CPU time (user + system) that Quenvil's window takes to start, against a minimal Qt window
# (bench/minimal_window.cpp): each is started offscreen with a fresh per-user folder, left for a
# second (the event loop then waits without work) and stopped; the best of five runs each.
# Target: at most three times the minimal window.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpu_ms() {  # the best CPU time of five runs of a window program, in ms
  local best=999999
  for i in 1 2 3 4 5; do
    local t
    t=$(XDG_DATA_HOME="$work/data$i" QT_QPA_PLATFORM=offscreen \
      /usr/bin/time -f '%U %S' timeout -s TERM 1 "$@" 2>&1 >/dev/null | tail -n 1)
    best=$(awk -v b="$best" -v t="$t" 'BEGIN { split(t, p, " "); c = (p[1] + p[2]) * 1000;
                                              print (c < b ? c : b) }')
  done
  echo "$best"
}

minimal=$(cpu_ms "$here/bench/minimal_window")
program=$(cpu_ms "$here/quenvil/quenvil")
echo "minimal Qt window: $minimal ms CPU"
echo "quenvil:           $program ms CPU"
awk -v a="$program" -v b="$minimal" \
  'BEGIN { printf "ratio: %.2f (target: at most 3)\n", a / (b > 0 ? b : 1) }'
