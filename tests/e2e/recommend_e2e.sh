#!/usr/bin/env bash
# The 名字推荐 window end to end, as a user drives it: the program under a virtual display
# (xvfb-run), the sixth button of the main window clicked, 罗 typed and Enter pressed, the
# table filled. The window says what its table holds in its title ("名字推荐 - 罗 不限 双名：
# 17,391 个名字"), which is what this script reads back with xdotool.
#
# Usage: recommend_e2e.sh PROGRAM_DIR [SHOT_DIR [LIST_FILE]]
#   SHOT_DIR: also save screenshots there (empty, results, details, and, with LIST_FILE, the
#   import of that list in progress). QT_SCALE_FACTOR passes through (2 for 200 %).
# Needs xvfb-run, xdotool and, for screenshots, ImageMagick's import.
set -euo pipefail

program_dir=$(cd "${1:?usage: recommend_e2e.sh PROGRAM_DIR [SHOT_DIR [LIST_FILE]]}" && pwd)
shot_dir=${2:-}
list_file=${3:-}

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
run_under_xvfb 1920x1200 "$0" "$@"

shot() {
    [ -n "$shot_dir" ] || return 0
    sleep 0.5
    import -window root "$shot_dir/$1.png"
}

# The program writes what its windows show, and which control has the focus, to this file.
log=$(mktemp)
QUENVIL_E2E_LOG=$log "$program_dir/quenvil" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -f "$log"' EXIT
focus_line() { grep '^focus ' "$log" 2>/dev/null || true; }

main=$(wait_window '^Quenvil$') || fail "the main window did not appear"
xdotool search --onlyvisible --name '名字推荐' >/dev/null 2>&1 && fail "名字推荐 open too early"

# The sixth command button: x 568..672, y 8..36 of the main window's client area (logical
# pixels; scaled with QT_SCALE_FACTOR).
scale=${QT_SCALE_FACTOR:-1}
xdotool mousemove --window "$main" $((620 * scale)) $((22 * scale)) click 1
win=$(wait_window '名字推荐') || fail "the sixth button did not open 名字推荐"
[ "$(xdotool getwindowname "$win")" = "名字推荐" ] || fail "title: $(xdotool getwindowname "$win")"
xdotool windowfocus --sync "$win" 2>/dev/null || true
shot empty

# The focus starts in the surname box: type 罗 and press Enter. xdotool types a character that
# the keyboard map lacks through a spare key mapped for a moment, and a loaded machine sometimes
# reads the key before the map: then the character is lost and typed again.
for _ in 1 2 3 4; do
    xdotool type --delay 100 '罗'
    for _ in $(seq 30); do
        [ "$(focus_line)" = "focus QComboBox: 罗" ] && break
        sleep 0.1
    done
    [ "$(focus_line)" = "focus QComboBox: 罗" ] && break
    [ "$(focus_line)" = "focus QComboBox: " ] || xdotool key BackSpace
done
[ "$(focus_line)" = "focus QComboBox: 罗" ] || fail "could not type 罗: $(focus_line)"
xdotool key Return
title=""
for _ in $(seq 300); do
    title=$(xdotool getwindowname "$win" 2>/dev/null || true)
    [[ $title == *"罗 不限 双名："*"个名字" ]] && break
    sleep 0.1
done
[[ $title =~ ^名字推荐\ -\ 罗\ 不限\ 双名：[0-9,]+\ 个名字$ ]] || fail "after 罗 and Enter the title is: $title"
shot results

# The first line of the detail box: the current name and its scores.
details_line() {
    awk '/^window 名字推荐/ { w = 1; next } /^window / { w = 0 } w && /QPlainTextEdit:/ { print; exit }' "$log"
}
# Waits until the detail box shows another text than $1; prints it.
details_after() {
    local now
    for _ in $(seq 100); do
        now=$(details_line)
        [ -n "$now" ] && [ "$now" != "$1" ] && { echo "$now"; return 0; }
        sleep 0.1
    done
    echo "$now"
}
# The first row, the best name, is current after Enter.
best=$(details_after "")

# Enter left the window open; Tab to the table and pick the second row.
for _ in 1 2 3 4 5 6 7 8 9; do xdotool key Tab; done
xdotool key Down
second=$(details_after "$best")
shot details

# Alt+4 sorts by 笔画 on a worker; the title says so meanwhile and shows the count again after.
# The current row stays current; Ctrl+Home then shows the fewest strokes, not the best name.
xdotool key ctrl+Home
[ "$(details_after "$second")" = "$best" ] || fail "Ctrl+Home did not go to the first row"
xdotool key alt+4
# The title reads "正在按笔画排序……" for the moment the sort takes, then the count again; a second
# lets the key arrive first.
sleep 1
for _ in $(seq 300); do
    title=$(xdotool getwindowname "$win" 2>/dev/null || true)
    [[ $title == *"个名字" ]] && [ "$(details_line)" = "$best" ] && break
    sleep 0.1
done
[[ $title =~ ^名字推荐\ -\ 罗\ 不限\ 双名：[0-9,]+\ 个名字$ ]] || fail "after the sort the title is: $title"
[ "$(details_line)" = "$best" ] || fail "the sort lost the current row: $(details_line)"
xdotool key ctrl+Home
fewest=$(details_after "$best")
[ "$fewest" != "$best" ] || fail "Alt+4 did not sort the table"
xdotool key alt+2
sleep 1
xdotool key ctrl+Home
[ "$(details_after "$fewest")" = "$best" ] || fail "Alt+2 did not bring back the best first: $(details_line)"

if [ -n "$list_file" ] && [ -n "$shot_dir" ]; then
    # 导入名单评分 is two Tabs on from the table (past the detail box); the file dialog takes the
    # path typed into its name field.
    xdotool key Tab Tab Return
    sleep 1.5
    xdotool type --delay 5 "$list_file"
    xdotool key Return
    sleep 1.5
    shot import
fi

echo "PASS: $title"
