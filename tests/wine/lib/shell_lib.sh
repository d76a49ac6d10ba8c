# Shared by the shell's end-to-end scripts (sourced, not run): starting the real
# program under Wine, driving it with shell_driver, and ending only what we started.
set -u
exe="$PROGRAM_DIR/OrbiscopeRemote.exe"
drv="$BUILD_DIR/tests/shell_driver.exe"
log="$WINE_ENV_DIR/shell-e2e.log"
failures=0
started=()

[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
[ -f "$drv" ] || { echo "missing $drv"; exit 1; }

d() { wine "$drv" "$@" 2>>"$log"; }

# Runs one driver step; a failed step is counted and reported, the script goes on.
step() {
    if ! d "$@"; then
        echo "  step failed: $*"
        failures=$((failures + 1))
    fi
}

# Starts the program in the background; its process id is in $last_pid.
start_remote() {
    wine "$exe" "$@" >>"$log" 2>&1 &
    last_pid=$!
    started+=("$last_pid")
}

# Waits up to $2 seconds for process $1 to end; true when it did.
wait_exit() {
    local pid=$1 limit=$(($2 * 10))
    for _ in $(seq 1 "$limit"); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
        sleep 0.1
    done
    return 1
}

expect_exit() {
    if wait_exit "$1" "$2"; then
        echo "ok process $1 ended"
    else
        echo "  process $1 is still running"
        failures=$((failures + 1))
    fi
}

fresh_settings() {
    wine reg delete 'HKCU\Software\OrbiScope' /f >/dev/null 2>&1 || true
}

# Ends what this script started: the program through its own window close message,
# anything left by its process id.
cleanup() {
    d post 0x10 >/dev/null 2>&1 || true
    for pid in "${started[@]}"; do
        wait_exit "$pid" 10 || kill "$pid" 2>/dev/null || true
    done
}
trap cleanup EXIT

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures step(s) failed; program output:"
        tail -n 40 "$log" 2>/dev/null
        exit 1
    fi
    echo "all steps passed"
}
