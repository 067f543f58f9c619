#!/usr/bin/env bash
# Validates the menu entry, the AppStream metainfo, the manual pages and the Debian changelog in
# packaging/ of a Quenvil source tree.
#   validate_packaging_files.sh SOURCE_DIR
# Fails (exit 1) when either validator reports an error or a warning; infos, hints and pedantic
# notes are shown but allowed. Exit 2 for a usage error.
set -uo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 SOURCE_DIR" >&2
  exit 2
fi

app_id=io.github.quenvil.Quenvil
desktop_file=$1/packaging/$app_id.desktop
metainfo_file=$1/packaging/$app_id.metainfo.xml
failures=0

fail() {
  echo "  FAILED: $*"
  failures=$((failures + 1))
}

# Runs a validator on a file, shows what it said, and fails when it exits non-zero or prints a
# line that matches the error/warning pattern of that tool.
check() {
  local file=$1 pattern=$2
  shift 2
  echo "checking $file"
  echo "  with: $*"
  if [ ! -f "$file" ]; then
    fail "file not found"
    return
  fi
  local output status
  output=$("$@" "$file" 2>&1)
  status=$?
  if [ -n "$output" ]; then
    printf '%s\n' "$output" | sed 's/^/  | /'
  fi
  if [ "$status" -ne 0 ]; then
    fail "validator exited with status $status"
  elif printf '%s\n' "$output" | grep -Eq "$pattern"; then
    fail "validator reported an error or a warning"
  else
    echo "  ok"
  fi
}

require() {
  if ! command -v "$1" >/dev/null 2>&1; then
    echo "$1 not found: install the Debian package $2 (./quenvil.sh installs it)" >&2
    exit 1
  fi
}
require desktop-file-validate desktop-file-utils
require appstreamcli appstream

# desktop-file-validate prints "FILE: error: ..." and "FILE: warning: ...", and exits non-zero
# only for errors.
check "$desktop_file" ': (error|warning): ' desktop-file-validate

# appstreamcli prints one issue a line, starting with its severity letter (E, W, I, P).
echo "($(appstreamcli --version))"
check "$metainfo_file" '^[[:space:]]*[EW]: ' appstreamcli validate --no-net

# man --warnings prints groff's warnings (bad requests, unknown escapes, lines that cannot be
# set) on standard error, and nothing for a clean page.
man_warnings() { MANWIDTH=80 man --warnings -E UTF-8 -l "$1" 2>&1 >/dev/null; }
for page in quenvil quenvil-cli; do
  check "$1/packaging/man/$page.1" '.' man_warnings
done
# The changelog parses, its version is the project's, and the manual pages name that version.
check "$1/packaging/changelog" '(warning|error)' dpkg-parsechangelog -l
version=$(sed -n 's/^project(Quenvil VERSION \([0-9.]*\).*/\1/p' "$1/CMakeLists.txt")
changelog_version=$(dpkg-parsechangelog -l "$1/packaging/changelog" -S Version)
[ "$changelog_version" = "$version" ] ||
  fail "the changelog's version $changelog_version is not the project's $version"
for page in quenvil quenvil-cli; do
  grep -q "\"Quenvil $version\"" "$1/packaging/man/$page.1" ||
    fail "$page.1 does not name version $version"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures packaging file(s) failed validation"
  exit 1
fi
echo "every packaging file is valid"
