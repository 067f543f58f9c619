#!/usr/bin/env bash
# An installed program in a prefix nobody may write, used by an ordinary user: the import and
# the filter work on a per-user copy of data.Mdb in the user's data folder, and the shipped file
# stays as it was. The same for a read-only program folder with data.Mdb beside the program, for
# a read-only data.Mdb in a folder the user may write, and for the window program at start-up.
#   read_only_prefix.sh BUILD_DIR
BUILD_DIR=${1:?usage: read_only_prefix.sh BUILD_DIR}
source "$(dirname "$0")/install_common.sh"
need_root

install_read_only

# The names to import: the start of the installed list of one surname.
make_import_file "$prefix/share/quenvil/xm/张.txt" 40 "$work/names.txt"
head -n 40 "$prefix/share/quenvil/xm/张.txt" | iconv -f GBK -t UTF-8 | tr -d '\r' >"$work/names.utf8"
# What the automatic filter keeps of the same names, one a line.
head -n 40 "$prefix/share/quenvil/xm/张.txt" >"$work/names.lines"
make_home "$work/home0"
as_user "$work/home0" "$prefix/bin/quenvil-cli" filter "$work/names.lines" >"$work/expected" ||
  fail "filter of the name list failed"
[ -s "$work/expected" ] || fail "the filter keeps none of the names to import"

# import then filter-imported as the user with the given home and environment; the filtered
# names go to $work/filtered.
import_and_filter() {
  local label=$1 cli=$2 home=$3
  shift 3
  local out
  if ! out=$(runuser -u "$USER_NAME" -- env -u XDG_DATA_HOME HOME="$home" "$@" "$cli" import \
    "$work/names.txt" 2>"$work/import.err"); then
    out+=$(cat "$work/import.err")
    fail "$label: import failed: $out"
    return
  fi
  [ "$out" = "张" ] || fail "$label: the import printed '$out', not the surname 张"
  if ! runuser -u "$USER_NAME" -- env -u XDG_DATA_HOME HOME="$home" "$@" "$cli" \
    filter-imported >"$work/filtered" 2>"$work/filter.err"; then
    fail "$label: filter-imported failed: $(cat "$work/filter.err")"
    return
  fi
  [ -s "$work/filter.err" ] && fail "$label: filter-imported complained: $(cat "$work/filter.err")"
  [ -s "$work/filtered" ] || fail "$label: filter-imported found no name"
  lines_within "$work/filtered" "$work/names.utf8" ||
    fail "$label: filter-imported printed names that were not imported"
  cmp -s "$work/filtered" "$work/expected" ||
    fail "$label: filter-imported kept other names than the filter of the same list"
}

# An installed program, the copy in ~/.local/share/quenvil.
make_home "$work/home"
import_and_filter "installed" "$prefix/bin/quenvil-cli" "$work/home"
copy=$work/home/.local/share/quenvil/data.Mdb
[ -f "$copy" ] || fail "no per-user copy at $copy"
[ "$(stat -c %U "$copy")" = "$USER_NAME" ] || fail "the copy does not belong to the user"
[ "$(find "$work/home/.local/share/quenvil" -mindepth 1 | wc -l)" = 1 ] ||
  fail "files other than data.Mdb were left in the user's folder"
[ "$(sha256sum <"$shipped")" = "$checksum" ] || fail "the shipped data.Mdb changed"

# XDG_DATA_HOME, when set, holds the copy instead.
make_home "$work/home2"
install -d -m 755 -o "$USER_NAME" "$work/xdg"
import_and_filter "XDG_DATA_HOME" "$prefix/bin/quenvil-cli" "$work/home2" XDG_DATA_HOME="$work/xdg"
[ -f "$work/xdg/quenvil/data.Mdb" ] || fail "no per-user copy under XDG_DATA_HOME"
[ -e "$work/home2/.local" ] && fail "a copy was made in the home folder despite XDG_DATA_HOME"

# A read-only program folder with data.Mdb beside the program.
cp -r "$BUILD_DIR/quenvil" "$work/portable"
chmod -R a-w,a+rX "$work/portable"
portable_sum=$(sha256sum <"$work/portable/data.Mdb")
make_home "$work/home3"
import_and_filter "read-only program folder" "$work/portable/quenvil-cli" "$work/home3"
[ -f "$work/home3/.local/share/quenvil/data.Mdb" ] ||
  fail "no per-user copy for the read-only program folder"
[ "$(sha256sum <"$work/portable/data.Mdb")" = "$portable_sum" ] ||
  fail "the program folder's data.Mdb changed"

# A program folder the user may write, holding a data.Mdb the user may not write.
install -d -m 755 -o "$USER_NAME" "$work/locked"
cp "$BUILD_DIR/quenvil/quenvil-cli" "$BUILD_DIR/quenvil/data.Mdb" "$work/locked/"
chmod 444 "$work/locked/data.Mdb"
locked_sum=$(sha256sum <"$work/locked/data.Mdb")
make_home "$work/home5"
import_and_filter "read-only data.Mdb" "$work/locked/quenvil-cli" "$work/home5"
[ -f "$work/home5/.local/share/quenvil/data.Mdb" ] ||
  fail "no per-user copy for the read-only data.Mdb"
[ "$(sha256sum <"$work/locked/data.Mdb")" = "$locked_sum" ] || fail "the read-only data.Mdb changed"

# The window program makes the copy at start-up too, and keeps running: its window log (which
# it writes from its event loop, ui/window_log.h) shows the main window.
make_home "$work/home4"
shown="$work/home4/windows.txt"
runuser -u "$USER_NAME" -- env -u XDG_DATA_HOME HOME="$work/home4" QT_QPA_PLATFORM=offscreen \
  QUENVIL_E2E_LOG="$shown" "$prefix/bin/quenvil" >"$work/window.log" 2>&1 &
window=$!
for _ in $(seq 1 300); do
  grep -qx 'window Quenvil' "$shown" 2>/dev/null && break
  kill -0 "$window" 2>/dev/null || break
  sleep 0.1
done
if ! kill -0 "$window" 2>/dev/null; then
  wait "$window"
  fail "the installed program ended with status $?: $(cat "$work/window.log")"
fi
kill "$window"
wait "$window"
grep -qx 'window Quenvil' "$shown" ||
  fail "the installed program showed no window in 30 s: $(cat "$work/window.log")"
[ -f "$work/home4/.local/share/quenvil/data.Mdb" ] ||
  fail "the installed program made no per-user copy"
[ "$(sha256sum <"$shipped")" = "$checksum" ] || fail "the shipped data.Mdb changed"

finish
