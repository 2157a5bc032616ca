# shellcheck shell=bash
# Sourced by the benchmark scripts: starts a private Xvfb on the first free
# display from 70 up, exports DISPLAY, runs commands on it, and stops that
# server when the script exits, however it exits.

benchXvfbPid=""

stopBenchXvfb() {
    if [[ -n "$benchXvfbPid" ]]; then
        kill "$benchXvfbPid" 2>/dev/null || true
        wait "$benchXvfbPid" 2>/dev/null || true
        benchXvfbPid=""
    fi
}

startBenchXvfb() {
    local n
    for ((n = 70; n < 170; ++n)); do
        if [[ -e "/tmp/.X11-unix/X$n" || -e "/tmp/.X$n-lock" ]]; then
            continue
        fi
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        benchXvfbPid=$!
        trap stopBenchXvfb EXIT
        trap 'exit 130' INT TERM
        # Another client may take the same number between the check and the
        # start; then this server dies and the next number is tried.
        local try
        for ((try = 0; try < 100; ++try)); do
            if ! kill -0 "$benchXvfbPid" 2>/dev/null; then
                break
            fi
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        stopBenchXvfb
    done
    echo "no free display for Xvfb" >&2
    return 1
}

# Runs a command on the private server, and again, up to three times in all,
# when the server refused its connection, as a loaded Xvfb now and then does;
# freeglut then gives up at once. The command's stderr is shown when it ends.
onBenchDisplay() {
    local errors attempt status=0
    errors="$(mktemp)"
    for ((attempt = 1; attempt <= 3; ++attempt)); do
        status=0
        "$@" 2>"$errors" || status=$?
        if [[ $status -eq 0 ]] || ! grep -q "failed to open display" "$errors"; then
            break
        fi
        echo "the X server refused a connection; trying again" >&2
        sleep 1
    done
    cat "$errors" >&2
    rm -f "$errors"
    return "$status"
}

# Stops the script unless the benchmark program is built and the font it
# draws with is installed.
requireBenchInputs() {
    [[ -x "$1" ]] || { echo "build $1 first (-DGLTEXTDEMO_BENCH=ON)" >&2; exit 1; }
    [[ -r "$2" ]] || { echo "missing $2 (fonts-dejavu-core)" >&2; exit 1; }
}
