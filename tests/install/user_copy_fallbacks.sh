#!/usr/bin/env bash
# An installed program whose per-user copy of data.Mdb cannot be used as it is: busy, damaged,
# cut short, read-only, in an unusable XDG_DATA_HOME, without HOME, and as root over a read-only
# installed tree. In every case the installed data.Mdb keeps its checksum, the terminal says
# clearly what happened, a busy copy is waited for and reported (never swapped for the shipped
# file), a damaged one is set aside and replaced with its names recovered, and a copy that cannot
# be made refuses the import.
#   user_copy_fallbacks.sh BUILD_DIR QUENVIL_TEST_SQL
BUILD_DIR=${1:?usage: user_copy_fallbacks.sh BUILD_DIR QUENVIL_TEST_SQL}
SQL=${2:?usage: user_copy_fallbacks.sh BUILD_DIR QUENVIL_TEST_SQL}
source "$(dirname "$0")/install_common.sh"
need_root

install_read_only
make_import_file "$prefix/share/quenvil/xm/王.txt" 50 "$work/small.txt"
make_import_file "$prefix/share/quenvil/xm/李.txt" 30 "$work/other.txt"

shipped_unchanged() {
  [ "$(sha256sum <"$shipped")" = "$checksum" ] || fail "$1: the installed data.Mdb changed"
}
# expect LABEL STATUS PATTERN: the last run ($status, $work/err) ended with STATUS and said PATTERN.
expect() {
  [ "$status" -eq "$2" ] || fail "$1: exit status $status, not $2: $(cat "$work/err")"
  grep -q -- "$3" "$work/err" || fail "$1: no message '$3' in: $(cat "$work/err")"
}
# run_as user|root HOME [NAME=VALUE...] -- ARGS: quenvil-cli as the ordinary user (or root) with
# that home (none when empty), without XDG_DATA_HOME unless given; stdout to $work/out, stderr to
# $work/err, the exit status to $status.
run_as() {
  local who=$1 home=$2
  shift 2
  local envs=(-u XDG_DATA_HOME)
  if [ -n "$home" ]; then envs+=(HOME="$home"); else envs=(-u HOME "${envs[@]}"); fi
  while [ "$1" != -- ]; do envs+=("$1"); shift; done
  shift
  local runner=()
  [ "$who" = root ] || runner=(runuser -u "$USER_NAME" --)
  "${runner[@]}" env "${envs[@]}" "$cli" "$@" >"$work/out" 2>"$work/err"
  status=$?
}
imported() { "$SQL" "$1" "select count(*) from xm"; }

# A copy that another program keeps locked for longer than the busy timeout: the import waits,
# says so and fails; the copy keeps its names, and nothing is written anywhere else.
make_home "$work/busy"
run_as user "$work/busy" -- import "$work/small.txt"
expect "busy: first import" 0 "数据导入成功"
copy=$work/busy/.local/share/quenvil/data.Mdb
"$SQL" "$copy" "begin exclusive; delete from xm" 12 >"$work/holder" &
holder=$!
for _ in $(seq 1 100); do grep -q holding "$work/holder" && break; sleep 0.1; done
run_as user "$work/busy" -- import "$work/other.txt"
expect "busy" 1 "is in use by another program; nothing was imported"
run_as user "$work/busy" -- filter-imported
expect "busy: filter-imported" 1 "is in use by another program"
wait "$holder"
[ "$(imported "$copy")" = 50 ] || fail "busy: the copy lost its names"
shipped_unchanged "busy"

# Damaged copies, as the user and as root (who could write the installed file): set aside,
# replaced, the names recovered where they can be read, the import done in the fresh copy.
damage_case() {
  local label=$1 who=$2 damage=$3 home=$work/$1
  if [ "$who" = root ]; then mkdir -p "$home"; else make_home "$home"; fi
  run_as "$who" "$home" -- import "$work/small.txt"
  local copy=$home/.local/share/quenvil/data.Mdb
  eval "$damage"
  run_as "$who" "$home" -- import "$work/other.txt"
  expect "$label" 0 "was damaged .*it is kept as $home/.local/share/quenvil/data.Mdb.damaged-"
  [ "$(imported "$copy")" = 30 ] || fail "$label: the import did not go to the fresh copy"
  ls "$home/.local/share/quenvil/"data.Mdb.damaged-* >/dev/null 2>&1 ||
    fail "$label: the damaged copy was not kept"
  shipped_unchanged "$label"
}
damage_case overwritten user 'printf x >"$copy"'
damage_case overwritten-root root 'printf x >"$copy"'
damage_case cut-short user 'truncate -s 100000 "$copy"'
damage_case middle-page root \
  'printf garbage | dd of="$copy" bs=1 seek=$(( $(stat -c %s "$copy") / 2 )) conv=notrunc status=none'
# The names of a copy with one damaged page come back but for those of that page.
home=$work/recover
make_home "$home"
make_import_file "$prefix/share/quenvil/xm/张.txt" 20000 "$work/many.txt"
run_as user "$home" -- import "$work/many.txt"
copy=$home/.local/share/quenvil/data.Mdb
printf garbage | dd of="$copy" bs=1 seek=$(($(stat -c %s "$copy") - 5000)) conv=notrunc status=none
run_as user "$home" -- strokes 王
expect "recover" 0 "was damaged"
recovered=$(imported "$copy")
[ "$recovered" -gt 15000 ] && [ "$recovered" -le 20000 ] ||
  fail "recover: $recovered names recovered of 20000"
[ "$(cat "$work/out")" = "$(printf '王\t4')" ] || fail "recover: strokes printed $(cat "$work/out")"

# A read-only copy, and a copy in a read-only folder: read as they are, the import refused with a
# message that names them.
make_home "$work/ro"
run_as user "$work/ro" -- import "$work/small.txt"
copy=$work/ro/.local/share/quenvil/data.Mdb
chmod 444 "$copy"
run_as user "$work/ro" -- import "$work/other.txt"
expect "read-only copy" 1 "the file $copy is read-only"
run_as user "$work/ro" -- filter-imported
[ "$status" -eq 0 ] && [ -s "$work/out" ] || fail "read-only copy: filter-imported: $(cat "$work/err")"
chmod 644 "$copy"
chmod 555 "$(dirname "$copy")"
run_as user "$work/ro" -- import "$work/other.txt"
expect "read-only folder" 1 "its folder $(dirname "$copy") is read-only"
chmod 755 "$(dirname "$copy")"
[ "$(imported "$copy")" = 50 ] || fail "read-only copy: the names changed"
shipped_unchanged "read-only copy"

# No copy can be made: XDG_DATA_HOME names a file, no HOME at all, and root over the read-only
# installed tree. Reading commands say which file they read; the import is refused.
no_copy_case() {
  local label=$1 who=$2
  shift 2
  run_as "$who" "$@" -- strokes 王
  expect "$label: strokes" 0 "reading the program's own database $shipped (read-only"
  [ "$(cat "$work/out")" = "$(printf '王\t4')" ] || fail "$label: strokes printed $(cat "$work/out")"
  run_as "$who" "$@" -- import "$work/small.txt"
  expect "$label: import" 1 "nothing was imported: .*the program's own database is never written"
  [ -s "$work/out" ] && fail "$label: the import printed $(cat "$work/out")"
  run_as "$who" "$@" -- filter-imported
  expect "$label: filter-imported" 1 "the imported names are kept in the user's own copy"
  shipped_unchanged "$label"
}
make_home "$work/xdg-home"
printf 'not a folder' >"$work/xdg-file"
no_copy_case "XDG_DATA_HOME is a file" user "$work/xdg-home" XDG_DATA_HOME="$work/xdg-file"
no_copy_case "no HOME" user ""
no_copy_case "root, XDG_DATA_HOME is a file" root "$work/xdg-home" XDG_DATA_HOME="$work/xdg-file"
no_copy_case "root, no HOME" root ""
[ "$(sha256sum <"$shipped")" = "$checksum" ] || fail "the installed data.Mdb changed"

finish
