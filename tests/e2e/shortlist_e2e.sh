#!/usr/bin/env bash
# The shortlist end to end, as a user keeps names: the program (a copy of its folder, so that the
# build's own database stays as built) under a virtual display; 名字推荐 opened with the sixth
# button, 罗 typed and Enter pressed, two rows selected with Shift+Down and kept with Ctrl+D; the
# program closed and started again, 名字推荐 opened and 收藏夹 pressed. quenvil-cli of the same
# folder then lists the two names.
#
# Usage: shortlist_e2e.sh PROGRAM_DIR
# Needs xvfb-run and xdotool.
set -euo pipefail

program_dir=$(cd "${1:?usage: shortlist_e2e.sh PROGRAM_DIR}" && pwd)

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
run_under_xvfb 1920x1200 "$0" "$@"

work=$(mktemp -d)
pid=""
trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
cp -r "$program_dir" "$work/quenvil"
log="$work/log"

# Starts the program and opens 名字推荐: its window id in win, the program's in pid.
open_recommend() {
    QUENVIL_E2E_LOG=$log "$work/quenvil/quenvil" >/dev/null 2>&1 &
    pid=$!
    local main
    main=$(wait_window '^Quenvil$') || fail "the main window did not appear"
    xdotool mousemove --window "$main" 620 22 click 1
    win=$(wait_window '名字推荐') || fail "the sixth button did not open 名字推荐"
}

open_recommend
xdotool windowfocus --sync "$win" 2>/dev/null || true
# A character the keyboard map lacks may be lost on a loaded machine: typed again then.
for _ in 1 2 3 4; do
    xdotool type --delay 100 '罗'
    for _ in $(seq 30); do
        grep -q '^focus QComboBox: 罗$' "$log" 2>/dev/null && break
        sleep 0.1
    done
    grep -q '^focus QComboBox: 罗$' "$log" && break
    grep -q '^focus QComboBox: $' "$log" || xdotool key BackSpace
done
xdotool key Return
title=""
for _ in $(seq 300); do
    title=$(xdotool getwindowname "$win" 2>/dev/null || true)
    [[ $title == *"个名字" ]] && break
    sleep 0.1
done
[[ $title == *"罗 不限 双名："*"个名字" ]] || fail "after 罗 and Enter the title is: $title"
# Nine Tabs to the table (past the choices and 推荐), two rows, Ctrl+D.
for _ in 1 2 3 4 5 6 7 8 9; do xdotool key Tab; done
xdotool key shift+Down ctrl+d
for _ in $(seq 50); do
    title=$(xdotool getwindowname "$win" 2>/dev/null || true)
    [[ $title == *"已收藏 2 个名字" ]] && break
    sleep 0.1
done
[[ $title == *"已收藏 2 个名字" ]] || fail "Ctrl+D gave the title: $title"
kill "$pid"
wait "$pid" 2>/dev/null || true

# Again: 收藏夹 lists them. Tab from the surname box to 收藏夹: the choices, 推荐, the table,
# the details and six commands.
open_recommend
xdotool windowfocus --sync "$win" 2>/dev/null || true
for _ in $(seq 17); do xdotool key Tab; done
xdotool key Return
wait_window '^收藏夹$' >/dev/null || fail "收藏夹 did not open"
kill "$pid"
wait "$pid" 2>/dev/null || true
kept=$("$work/quenvil/quenvil-cli" shortlist | cut -f1)
[ "$(echo "$kept" | wc -l)" = 2 ] || fail "the shortlist holds: $kept"
echo "PASS: kept $(echo $kept)"
