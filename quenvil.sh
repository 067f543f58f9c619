#!/usr/bin/env bash
# Set-up, build, start and test Quenvil on Debian 12.
#   ./quenvil.sh run              install what is missing, build, start the program
#   ./quenvil.sh test             install what is missing, build, run every test
#   ./quenvil.sh test --sanitize  the same in build-asan/ with AddressSanitizer and UBSan, less the
#                                 checks that no compiler flag can change (CTest label
#                                 flag-independent: file checks, installs, end-to-end runs)
#   ./quenvil.sh bench            build and run the benchmarks
#   ./quenvil.sh package          a Release build packaged as build-package/quenvil_<version>_amd64.deb
#   ./quenvil.sh fuzz [SECONDS]   build the libFuzzer targets with clang, run each SECONDS (30),
#                                 two at a time
set -euo pipefail
cd "$(dirname "$0")"

# Every Debian package the build, the tests and the program need.
PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev libsqlcipher-dev libicu-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk xvfb xauth imagemagick
  qt6-translations-l10n xdotool openbox
  desktop-file-utils appstream
  dpkg-dev file lintian
  clang libclang-rt-14-dev time
  python3 opencc libopencc-data unicode-data
  ccache
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# ccache, when installed, keeps the compilers' output between builds: a second build folder, or
# a fresh clone, compiles only what changed. Paths below this folder are hashed relative to it.
# Without ccache the launcher is cleared, so that a build folder never asks for a missing one.
launcher_options() {
  if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
    launcher=ccache
  else
    launcher=
  fi
  options=(-DCMAKE_C_COMPILER_LAUNCHER="$launcher" -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher")
}

# QUENVIL_WERROR=ON in the environment turns warnings into errors (CI does).
build() {
  local dir=$1; shift
  launcher_options
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENVIL_WERROR="${QUENVIL_WERROR:-OFF}" \
    "${options[@]}" "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

mode=${1:-run}
case "$mode" in
  run)
    install_missing
    build build -DQUENVIL_BENCH=OFF
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo
      echo "Quenvil is built in build/quenvil/, but this machine has no display to show its window."
      echo "Run it under a virtual display:   xvfb-run -a build/quenvil/quenvil"
      echo "or use the terminal companion:    build/quenvil/quenvil-cli analyze 黄思婷"
      exit 0
    fi
    exec build/quenvil/quenvil
    ;;
  test)
    install_missing
    if [ "${2:-}" = "--sanitize" ]; then
      build build-asan -DQUENVIL_SANITIZE=ON -DQUENVIL_BENCH=OFF
      # A quarantine of 32 MB instead of 256 MB still holds what a test frees long enough to
      # catch a use after free, and spares the page faults that made a fifth of the run time.
      export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:quarantine_size_mb=32
      export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
      ctest --test-dir build-asan --output-on-failure -j2 -LE flag-independent
    else
      build build -DQUENVIL_BENCH=OFF
      ctest --test-dir build --output-on-failure -j2
    fi
    ;;
  bench)
    install_missing
    build build -DQUENVIL_BENCH=ON
    for b in build/bench/bench_*; do "$b"; done
    ;;
  package)
    install_missing
    # Debian's hardening flags (fortified functions, stack protector, full RELRO with immediate
    # binding); CMake reads CXXFLAGS and LDFLAGS when it first configures a build folder, and
    # takes no CPPFLAGS, which go with CXXFLAGS. The later -DCMAKE_BUILD_TYPE wins.
    eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
    export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
    build build-package -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQUENVIL_BENCH=OFF
    rm -f build-package/quenvil_*.deb
    (cd build-package && cpack -G DEB)
    # No error and no warning; the pedantic tags left are listed in the README.
    lintian --fail-on error,warning build-package/quenvil_*.deb
    echo
    echo "Install it with:   sudo apt install ./build-package/quenvil_*.deb"
    ;;
  fuzz)
    install_missing
    fuzz/run.sh "${2:-30}"
    ;;
  *)
    echo "usage: $0 run | test [--sanitize] | bench | package | fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
