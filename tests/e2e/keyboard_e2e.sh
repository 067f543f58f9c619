#!/usr/bin/env bash
# The windows under a real keyboard: starts the built program under Xvfb with a window manager
# (openbox) and types into it with xdotool, as a user at the keyboard does:
#   - Enter on the focused 自动取名 button opens the automatic naming window;
#   - in its chooser, 欧阳 + Enter loads 欧阳's list, 张 + Enter loads 张's, 测 + Enter brings up
#     "数据库中不存在此姓" in a box whose button reads 确定, Enter with the text unchanged loads it
#     again, and the window stays open throughout; Enter on 关闭 closes it;
#   - Enter on 测算名字五行 after a stroke field was changed brings the report up to date;
#   - 半自动取名: browse (typing the path into the file dialog), import and filter with Enter; after
#     筛选 the focus is on the results, so one more Enter closes nothing;
#   - 帮助 with no browser on the desktop shows the program's own help window;
#   - Enter on 退出 ends the program.
# What the windows show is read from the file that QUENVIL_E2E_LOG names (ui/window_log.h).
# The program runs from a copy of its folder, so the import does not touch the build's database.
#
# Usage: keyboard_e2e.sh PROGRAM_FOLDER. Exit 0: passed; 77: skipped (no xvfb-run or xdotool);
# anything else: failed.
set -uo pipefail
export LC_ALL=C.UTF-8

program_dir=${1:?usage: keyboard_e2e.sh PROGRAM_FOLDER}
program_dir=$(cd "$program_dir" && pwd)

if [ -z "${QUENVIL_E2E_DISPLAY_READY:-}" ]; then
    for tool in xvfb-run xdotool; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed (Debian packages xvfb, xdotool)"
            exit 77
        fi
    done
    if ! command -v openbox >/dev/null; then
        echo "FAIL: openbox is not installed (./quenvil.sh installs it)"
        exit 1
    fi
    # The whole run is bounded; a hung program or X server cannot hold the test.
    QUENVIL_E2E_DISPLAY_READY=1 exec timeout -k 5 200 \
        xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$program_dir"
fi

work=$(mktemp -d)
log=$work/windows.log
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    echo "--- what the windows showed last:"
    cat "$log" 2>/dev/null
    exit 1
}

# Waits until the log has a line matching the extended regular expression.
wait_for() {
    local pattern=$1 limit=${2:-20} waited=0
    until grep -Eq -- "$pattern" "$log" 2>/dev/null; do
        sleep 0.1
        waited=$((waited + 1))
        [ "$waited" -lt $((limit * 10)) ] || fail "waited ${limit}s for: $pattern"
    done
}

# Waits until no line of the log matches.
wait_gone() {
    local pattern=$1 limit=${2:-20} waited=0
    while grep -Eq -- "$pattern" "$log" 2>/dev/null; do
        sleep 0.1
        waited=$((waited + 1))
        [ "$waited" -lt $((limit * 10)) ] || fail "waited ${limit}s for this to go: $pattern"
    done
}

focus_line() { grep -E '^focus ' "$log" 2>/dev/null | head -n 1; }

# Presses Tab until the focus line matches; a full round of the window at most.
tab_to() {
    local pattern=$1 i before waited
    for ((i = 0; i < 30; i++)); do
        focus_line | grep -Eq -- "$pattern" && return 0
        before=$(focus_line)
        xdotool key Tab
        waited=0
        while [ "$(focus_line)" = "$before" ] && [ "$waited" -lt 50 ]; do
            sleep 0.1
            waited=$((waited + 1))
        done
    done
    fail "Tab never reached: $pattern"
}

# The window is mapped on the X server (not only shown in the log); waits up to 10 s for it.
x_window() {
    local i
    for ((i = 0; i < 50; i++)); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}

openbox >"$work/openbox.out" 2>&1 &
pids+=($!)

# A copy of the program folder.
mkdir -p "$work/quenvil"
cp -r "$program_dir/quenvil" "$program_dir/data.Mdb" "$program_dir/xm" "$program_dir/help" \
    "$work/quenvil/" || fail "cannot copy the program folder"
# A name list of the user's own for 半自动取名 (GBK, the names on the first line).
printf '%s\r\n' '张晓雯 张思远 张一诺 张梓萱' | iconv -f UTF-8 -t GBK >"$work/names.txt"

# No browser for 帮助: nothing on PATH can open a page.
mkdir "$work/empty"
env -u BROWSER -u DEFAULT_BROWSER PATH="$work/empty" QUENVIL_E2E_LOG="$log" \
    "$work/quenvil/quenvil" >"$work/program.out" 2>&1 &
program=$!
pids+=("$program")

# The main window comes up active, the focus on its first button. The window manager may still be
# starting when the window appears: then it is activated through the window manager.
for ((try = 0; try < 60; try++)); do
    grep -Eq '^focus QPushButton: 自动取名$' "$log" 2>/dev/null && break
    if ((try % 10 == 9)); then
        for id in $(xdotool search --onlyvisible --name '^Quenvil$' 2>/dev/null); do
            xdotool windowactivate "$id" 2>/dev/null
        done
    fi
    sleep 0.5
done
wait_for '^focus QPushButton: 自动取名$' 5

echo "Enter on the focused 自动取名 opens the automatic naming window"
xdotool key Return
wait_for '^window 自动取名$'
wait_for '^focus QComboBox: '
x_window 自动取名 || fail "no 自动取名 window on the X server"

# Types TEXT into the focused control, whose focus line then reads "focus CLASS: TEXT". xdotool
# types a character that the keyboard map lacks by mapping it to a spare key for a moment; when
# the program reads the key before the new map, the character is lost, and it is typed again.
type_into() {
    local class=$1 text=$2 typed="" c i tries waited
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        for ((tries = 0; tries < 4; tries++)); do
            xdotool type --delay 100 "$c"
            waited=0
            until focus_line | grep -Fxq "focus $class: $typed$c" || [ "$waited" -ge 30 ]; do
                sleep 0.1
                waited=$((waited + 1))
            done
            focus_line | grep -Fxq "focus $class: $typed$c" && break
            # Neither the character nor a stray one: back to what was typed so far.
            [ "$(focus_line)" = "focus $class: $typed" ] || xdotool key BackSpace
        done
        typed+=$c
        focus_line | grep -Fxq "focus $class: $typed" || fail "could not type $text"
    done
}

chooser() {  # chooser TEXT: replaces the chooser's text and presses Enter
    xdotool key ctrl+a BackSpace
    wait_for '^focus QComboBox: $' 10
    type_into QComboBox "$1"
    xdotool key Return
}

# After an Enter that must leave the window open: the next keys still reach the chooser. X
# delivers the keys in order, so once the chooser shows them emptied, the Enter was handled and
# the window stayed.
chooser_still_has_the_keys() {
    xdotool key ctrl+a BackSpace
    wait_for '^focus QComboBox: $' 10
    x_window 自动取名 || fail "$1"
}

echo "欧阳 + Enter in the chooser loads 欧阳's list, the window stays"
chooser 欧阳
wait_for '^  QPlainTextEdit: 欧阳[^ ]* \| 欧阳'
chooser_still_has_the_keys "Enter in the chooser closed the window"

echo "张 + Enter loads 张's list"
chooser 张
wait_for '^  QPlainTextEdit: 张[^ ]* \| 张'

echo "Enter with the text unchanged loads it again and keeps the window"
xdotool key Return
chooser_still_has_the_keys "Enter with an unchanged text closed the window"
grep -Eq '^  QPlainTextEdit: 张[^ ]* \| 张' "$log" || fail "the list of 张 went"

echo "测 + Enter: the message in Chinese, Enter closes the box, the window stays"
chooser 测
wait_for '^  QLabel: 数据库中不存在此姓$'
wait_for '^focus QPushButton: 确定$'
xdotool key Return
wait_gone '^  QLabel: 数据库中不存在此姓$'
wait_for '^focus QComboBox: 测$'
x_window 自动取名 || fail "the window went with the message"
grep -Eq '^  QPlainTextEdit: 张[^ ]* \| 张' "$log" || fail "the list changed without a file"

echo "Enter on the focused 关闭 closes the window"
tab_to '^focus QPushButton: 关闭$'
xdotool key Return
wait_gone '^window 自动取名$'
wait_for '^focus QPushButton: 自动取名$'

echo "Enter on the focused 测算名字五行 brings the report up to date"
tab_to '^focus QLineEdit: 12$'  # the first stroke field
xdotool key ctrl+a BackSpace
wait_for '^focus QLineEdit: $' 10
type_into QLineEdit 3
tab_to '^focus QPushButton: 测算名字五行$'
xdotool key Return
wait_for '^  QPlainTextEdit: .*天格是: 4( |$)'

echo "半自动取名 with the keyboard: the focus goes to the results after 导入 and 筛选"
tab_to '^focus QPushButton: 半自动取名$'
xdotool key Return
wait_for '^window 半自动取名$'
tab_to '^focus QPushButton: 浏览\.\.\.\.\.$'
xdotool key Return
wait_for '^window 打开$'
wait_for '^focus QLineEdit: '
xdotool type --delay 20 "$work/names.txt"
xdotool key Return
wait_gone '^window 打开$'
wait_for '^  QPlainTextEdit: 张晓雯 张思远'
tab_to '^focus QPushButton: 导入$'
xdotool key Return
wait_for '^  QLabel: 数据导入成功！共导入 [0-9]+ 个名字。$'
wait_for '^focus QPushButton: 确定$'
xdotool key Return
wait_gone '^  QLabel: 数据导入成功！共导入 [0-9]+ 个名字。$'
wait_for '^focus QPlainTextEdit: '
tab_to '^focus QPushButton: 筛选$'
xdotool key Return
wait_for '^  QLabel: 自动生成名字完成!$'
wait_for '^focus QPushButton: 确定$'
xdotool key Return
wait_gone '^  QLabel: 自动生成名字完成!$'
wait_for '^focus QPlainTextEdit: '
grep -Eq '^  QPushButton: 筛选 \(disabled\)$' "$log" || fail "筛选 is still enabled"
echo "one more Enter, on the results: the window stays"
xdotool key Return
# The Tabs after the Enter still go round this window (X delivers the keys in order): the Enter
# was handled and closed nothing.
tab_to '^focus QPushButton: 关闭$'
grep -Eq '^window 半自动取名$' "$log" || fail "Enter after 筛选 closed the window"
x_window 半自动取名 || fail "Enter after 筛选 closed the window"
xdotool key Return
wait_gone '^window 半自动取名$'

echo "帮助 with no browser shows the program's own help window"
tab_to '^focus QPushButton: 帮助$'
xdotool key Return
wait_for '^window Quenvil 使用教程$'
wait_for '^  QTextBrowser: Quenvil 使用教程'
x_window 'Quenvil 使用教程' || fail "no help window on the X server"

echo "Enter on 退出 ends the program"
for id in $(xdotool search --onlyvisible --name '^Quenvil$' 2>/dev/null); do
    xdotool windowactivate --sync "$id" 2>/dev/null
done
wait_for '^focus QPushButton: 帮助$'
tab_to '^focus QPushButton: 退出$'
xdotool key Return
for ((i = 0; i < 100; i++)); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "the program is still running after 退出"
wait "$program"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"

echo "PASS: the keyboard flows work under a real X server"
