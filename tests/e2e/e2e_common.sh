# What the end-to-end scripts share: the run under a virtual display, failing, and waiting for a
# window. Sourced by recommend_e2e.sh and shortlist_e2e.sh.

# Runs the calling script again under xvfb-run on a screen of the size given (e.g. 1920x1200),
# unless it already runs there; exits 77 (skipped) without xvfb-run or xdotool.
# Usage: run_under_xvfb SIZE "$0" "$@"
run_under_xvfb() {
    local size=$1
    shift
    [ -n "${QUENVIL_E2E_INNER:-}" ] && return 0
    for tool in xvfb-run xdotool; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (quenvil.sh installs it)"; exit 77; }
    done
    export QUENVIL_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 ${size}x24" "$@"
}

fail() {
    echo "FAIL: $*"
    exit 1
}

# Waits up to 20 s for a window whose name matches; prints its id.
wait_window() {
    local id
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}
