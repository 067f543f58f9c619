#!/usr/bin/env bash
# Validates the menu entry and the AppStream metainfo in packaging/ of a Quenvil source tree.
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

if [ "$failures" -ne 0 ]; then
  echo "$failures packaging file(s) failed validation"
  exit 1
fi
echo "both packaging files are valid"
