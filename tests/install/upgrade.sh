#!/usr/bin/env bash
# A user's copy with imported names, a shortlist and older reference data (a lower data version
# and a changed, a missing and an extra row) meets a newer installed program: on the next start
# the copy takes the shipped reference tables and keeps the imported names and the shortlist.
#   upgrade.sh BUILD_DIR QUENVIL_TEST_SQL
BUILD_DIR=${1:?usage: upgrade.sh BUILD_DIR QUENVIL_TEST_SQL}
SQL=${2:?usage: upgrade.sh BUILD_DIR QUENVIL_TEST_SQL}
source "$(dirname "$0")/install_common.sh"
need_root

install_read_only
make_home "$work/home"
copy=$work/home/.local/share/quenvil/data.Mdb

sql() { "$SQL" "$@" || fail "SQL failed: $*"; }
reference() {  # every row of the reference tables, and the data version
  local db=$1
  sql "$db" "pragma user_version"
  sql "$db" "select * from fantizi order by rowid; select * from wuge order by rowid;
             select * from sancai order by rowid"
}
names() { sql "$1" "select xingming from xm order by rowid; select '--';
                   select xingming from xm2 order by rowid"; }

make_import_file "$prefix/share/quenvil/xm/王.txt" 60 "$work/names.txt"
as_user "$work/home" "$cli" import "$work/names.txt" >/dev/null || fail "import failed"
as_user "$work/home" "$cli" filter-imported >"$work/filtered.before" || fail "filter failed"
as_user "$work/home" "$cli" shortlist add 王婉如 --gender f --remark 温婉 2>/dev/null ||
  fail "shortlist add failed"
as_user "$work/home" "$cli" shortlist add 欧阳修 2>/dev/null || fail "shortlist add failed"
as_user "$work/home" "$cli" shortlist >"$work/shortlist.before" || fail "shortlist failed"
[ "$(grep -c . "$work/shortlist.before")" -eq 2 ] || fail "the shortlist does not hold the two names"
names "$copy" >"$work/names.before"
[ "$(grep -c . "$work/names.before")" -gt 60 ] || fail "the import wrote too few rows"
reference "$shipped" >"$work/reference.shipped"
version=$(sql "$shipped" "pragma user_version")
[ "$version" -ge 1 ] || fail "the shipped data.Mdb carries no data version ($version)"

# Age the copy: the previous data version, and reference rows that differ from the shipped ones.
sql "$copy" "pragma user_version = $((version - 1));
             update wuge set hanyi = '旧的含义' where shuzi = '1';
             delete from fantizi where bihua = 4;
             insert into sancai(sancai, hanyi, jixiong) values('旧旧旧', '旧', '凶')"
reference "$copy" >"$work/reference.aged"
cmp -s "$work/reference.aged" "$work/reference.shipped" && fail "the copy was not aged"
# The aged stroke table gives another analysis.
as_user "$work/home" "$cli" strokes 王 >"$work/strokes.aged"

# The next start of the installed program refreshes the copy.
as_user "$work/home" "$cli" strokes 王 >"$work/strokes.after" 2>"$work/strokes.err" ||
  fail "quenvil-cli failed on the aged copy: $(cat "$work/strokes.err")"
[ -s "$work/strokes.err" ] && fail "quenvil-cli complained: $(cat "$work/strokes.err")"
[ "$(cat "$work/strokes.after")" = "$(printf '王\t4')" ] ||
  fail "the stroke count of 王 is '$(cat "$work/strokes.after")' after the refresh"
reference "$copy" >"$work/reference.after"
cmp -s "$work/reference.after" "$work/reference.shipped" ||
  fail "the copy's reference tables and version are not the shipped ones"
names "$copy" >"$work/names.after"
cmp -s "$work/names.after" "$work/names.before" || fail "the imported names changed"
as_user "$work/home" "$cli" filter-imported >"$work/filtered.after" || fail "filter failed"
cmp -s "$work/filtered.after" "$work/filtered.before" ||
  fail "filter-imported finds other names after the refresh"
as_user "$work/home" "$cli" shortlist >"$work/shortlist.after" || fail "shortlist failed"
cmp -s "$work/shortlist.after" "$work/shortlist.before" || fail "the shortlist changed"
[ "$(sha256sum <"$shipped")" = "$checksum" ] || fail "the shipped data.Mdb changed"
[ "$(stat -c %U "$copy")" = "$USER_NAME" ] || fail "the copy does not belong to the user"

finish
