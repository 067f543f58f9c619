# Shared by the install tests (sourced). Needs BUILD_DIR set to a built build folder.
#   make_workspace        a fresh folder $work (removed on exit) that every user may enter
#   install_prefix DIR    cmake --install of $BUILD_DIR into DIR
#   install_read_only     make_workspace, then an install into $prefix ($work/prefix) that nobody
#                         may write; its data.Mdb is $shipped, the checksum of that $checksum, and
#                         its quenvil-cli $cli
#   make_home DIR         a home folder owned by the ordinary user
#   as_user HOME CMD...   CMD as the ordinary user with that home, no XDG_DATA_HOME
#   need_root             skips the test (exit 77) unless run as root, who may switch users
#   fail MESSAGE          counts a failure; finish reports them and sets the exit status
set -uo pipefail

USER_NAME=nobody
CMAKE=${CMAKE:-cmake}
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: switching to the user $USER_NAME needs root"
    exit 77
  fi
}

make_workspace() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/quenvil-install-test.XXXXXX") || exit 1
  chmod 755 "$work"
  # The read-only folders are made writable again so that the folder can be removed.
  trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
  cd "$work" || exit 1
}

install_prefix() {
  "$CMAKE" --install "$BUILD_DIR" --prefix "$1" >"$work/install.log" 2>&1 || {
    cat "$work/install.log"
    echo "cmake --install failed"
    exit 1
  }
}

install_read_only() {
  make_workspace
  prefix=$work/prefix
  install_prefix "$prefix"
  shipped=$prefix/share/quenvil/data.Mdb
  checksum=$(sha256sum <"$shipped")
  cli=$prefix/bin/quenvil-cli
  chmod -R a-w "$prefix"
}

make_home() {
  install -d -m 755 -o "$USER_NAME" "$1"
}

as_user() {
  local home=$1
  shift
  runuser -u "$USER_NAME" -- env -u XDG_DATA_HOME HOME="$home" "$@"
}

# A GBK file whose first line holds the first N names of a name list, separated by spaces.
make_import_file() {
  local list=$1 count=$2 out=$3
  head -n "$count" "$list" | tr -d '\r' | tr '\n' ' ' >"$out"
  printf '\r\n' >>"$out"
  chmod 644 "$out"
}

# Whether every line of file $1 is a line of file $2 (both UTF-8 name lists).
lines_within() {
  local line
  while IFS= read -r line; do
    grep -qxF -- "$line" "$2" || return 1
  done <"$1"
}
