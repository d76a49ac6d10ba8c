#!/usr/bin/env bash
# One button press end to end: the sender plays digit buttons into the virtual receiver,
# the real program recognises them, finds Notepad in front (a catalogued program with
# multi-tap letter entry) and types letters into it; each letter is committed by the
# letter timer on the program's main thread 700 ms after the last tap. A receiver
# unplugged mid-code and plugged in again loses nothing but the half press.
set -u
exe="$PROGRAM_DIR/OrbiscopeRemote.exe"
sender="$BUILD_DIR/orbsend.exe"
probe="$BUILD_DIR/tests/window_probe.exe"
for f in "$exe" "$sender" "$probe"; do [ -f "$f" ] || { echo "missing $f"; exit 1; }; done
log="$WINE_ENV_DIR/e2e-letters.log"
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-e2e-letters'
run() { wine "$@" 2>>"$log"; }
started=()
failures=0
step() {
    if ! run "$probe" "$@"; then
        echo "  step failed: $*"
        failures=$((failures + 1))
    fi
}
cleanup() {
    run "$probe" discard Notepad Edit >/dev/null || true
    run "$probe" close Orbiscope.Remote >/dev/null || true
    run "$probe" gone Notepad 5000 >/dev/null || true
    run "$probe" gone Orbiscope.Remote 5000 >/dev/null || true
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

wine reg delete 'HKCU\Software\OrbiScope' /f >/dev/null 2>&1 || true
wine "$exe" >>"$log" 2>&1 &
started+=($!)
step wait Orbiscope.Remote 15000
wine notepad >>"$log" 2>&1 &
started+=($!)
step wait Notepad 15000
step text Notepad Edit "" 5000

# h e l l o: 4 4, 3 3, 5 5 5, 5 5 5, 6 6 6, a pause between letters.
run "$sender" --virtual \
    Digit4 Digit4 pause=1s Digit3 Digit3 pause=1s Digit5 Digit5 Digit5 pause=1s \
    Digit5 Digit5 Digit5 pause=1s Digit6 Digit6 Digit6 >>"$log"
step text Notepad Edit "hello" 5000

# The receiver unplugged in the middle of a code (everything but its end mark) and
# plugged in again: the half press is forgotten and the next press is recognised.
frame="$WINE_ENV_DIR/e2e-frame.bin"
run "$sender" --fast --out "$(winepath -w "$frame")" Digit4 >>"$log"
cut=$(( $(stat -c %s "$frame") - 1 ))
run "$sender" --virtual "Digit4:cut=$cut" >>"$log"
run "$sender" --virtual Digit6:variant=2 >>"$log"
step text Notepad Edit "hellom" 5000

if [ "$failures" -ne 0 ]; then
    echo "$failures step(s) failed; output:"
    tail -n 30 "$log"
    exit 1
fi
echo "all steps passed"
