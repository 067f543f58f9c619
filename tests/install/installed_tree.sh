#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks the installed tree: every file in its
# place with its mode and nothing else, the menu entry and metainfo valid, the programs running
# on the installed data.
#   installed_tree.sh BUILD_DIR
BUILD_DIR=${1:?usage: installed_tree.sh BUILD_DIR}
source "$(dirname "$0")/install_common.sh"

make_workspace
prefix=$work/prefix
install_prefix "$prefix"

app_id=io.github.quenvil.Quenvil
expected=(
  "755 bin/quenvil"
  "755 bin/quenvil-cli"
  "644 share/quenvil/data.Mdb"
  "644 share/quenvil/help/Quenvil使用教程.html"
  "644 share/applications/$app_id.desktop"
  "644 share/metainfo/$app_id.metainfo.xml"
  "644 share/icons/hicolor/scalable/apps/$app_id.svg"
  "644 share/icons/hicolor/48x48/apps/$app_id.png"
  "644 share/icons/hicolor/64x64/apps/$app_id.png"
  "644 share/icons/hicolor/128x128/apps/$app_id.png"
  "644 share/icons/hicolor/256x256/apps/$app_id.png"
  "644 share/doc/quenvil/LICENSE"
  "644 share/doc/quenvil/THIRD_PARTY_NOTICES.md"
  "644 share/doc/quenvil/copyright"
  "644 share/doc/quenvil/changelog.gz"
  "644 share/man/man1/quenvil.1.gz"
  "644 share/man/man1/quenvil-cli.1.gz"
)
for entry in "${expected[@]}"; do
  mode=${entry%% *} file=${entry#* }
  if [ ! -f "$prefix/$file" ]; then
    fail "$file is not installed"
  elif [ "$(stat -c %a "$prefix/$file")" != "$mode" ]; then
    fail "$file has mode $(stat -c %a "$prefix/$file"), not $mode"
  fi
done

# The name lists: every list of the build, and nothing that is not installed on purpose.
built_lists=$(cd "$BUILD_DIR/quenvil/xm" && find . -name '*.txt' | sort)
installed_lists=$(cd "$prefix/share/quenvil/xm" && find . -type f | sort)
[ -n "$built_lists" ] || fail "the build has no name lists"
[ "$built_lists" = "$installed_lists" ] || fail "the installed name lists differ from the build's"
others=$(cd "$prefix" && find . -type f ! -path './share/quenvil/xm/*' | sed 's|^\./||' | sort)
wanted=$(for entry in "${expected[@]}"; do echo "${entry#* }"; done | sort)
if [ "$others" != "$wanted" ]; then
  fail "files installed that are not expected:"
  comm -23 <(echo "$others") <(echo "$wanted") | sed 's/^/    /'
fi
cmp -s "$BUILD_DIR/quenvil/data.Mdb" "$prefix/share/quenvil/data.Mdb" ||
  fail "the installed data.Mdb is not the built one"

# The menu entry and the metainfo as installed, and the metainfo's view of the whole tree
# (its menu entry and icon).
out=$(desktop-file-validate "$prefix/share/applications/$app_id.desktop" 2>&1) ||
  fail "desktop-file-validate: $out"
printf '%s\n' "$out" | grep -Eq ': (error|warning): ' && fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate: $out"
printf '%s\n' "$out" | grep -Eq '^[[:space:]]*[EW]: ' && fail "appstreamcli validate: $out"
out=$(appstreamcli validate-tree --no-net "$prefix" 2>&1) || fail "appstreamcli validate-tree: $out"
grep -q "^Icon=$app_id\$" "$prefix/share/applications/$app_id.desktop" ||
  fail "the menu entry does not name the installed icon"
grep -q '^Exec=quenvil$' "$prefix/share/applications/$app_id.desktop" ||
  fail "the menu entry does not start the installed program"

# The installed terminal companion finds the installed data from bin/.
mkdir -p "$work/home"
report=$(env -u XDG_DATA_HOME HOME="$work/home" "$prefix/bin/quenvil-cli" analyze 黄思婷 2>&1)
[ "$(printf '%s\n' "$report" | head -n 1)" = "黄  的笔画是: 12" ] ||
  fail "the installed quenvil-cli did not analyse a name: $report"
# Not even root writes into the installed data: the copy is in the home folder.
[ -f "$work/home/.local/share/quenvil/data.Mdb" ] ||
  fail "the installed program opened no per-user copy"
cmp -s "$BUILD_DIR/quenvil/data.Mdb" "$prefix/share/quenvil/data.Mdb" ||
  fail "the installed data.Mdb changed"

finish
