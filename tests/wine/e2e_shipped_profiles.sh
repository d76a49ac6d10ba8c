#!/usr/bin/env bash
# The shipped profile files end to end: setup put them into Profiles beside the program,
# and the program reads them at start-up. A window of a program that only a shipped file
# knows (mpv.exe) gets mpv's keys; a window titled as a YouTube tab in chrome.exe gets the
# site's keys; the same title in notepad.exe is no YouTube tab and gets Notepad's row. The
# windows are one small program copied under each name, writing down the keys it gets.
set -u
exe="$PROGRAM_DIR/OrbiscopeRemote.exe"
sender="$BUILD_DIR/orbsend.exe"
target="$BUILD_DIR/tests/key_target.exe"
probe="$BUILD_DIR/tests/window_probe.exe"
for f in "$exe" "$sender" "$target" "$probe"; do [ -f "$f" ] || { echo "missing $f"; exit 1; }; done
log="$WINE_ENV_DIR/e2e-shipped.log"
work="$WINE_ENV_DIR/shipped-targets"
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-e2e-shipped'
run() { wine "$@" 2>>"$log"; }
started=()
. "$(dirname "$0")/lib/checks.sh"
. "$(dirname "$0")/lib/user_session.sh"
cleanup() {
    run "$probe" close OrbiscopeKeyTarget >/dev/null || true
    run "$probe" close Orbiscope.Remote >/dev/null || true
    run "$probe" gone OrbiscopeKeyTarget 5000 >/dev/null || true
    run "$probe" gone Orbiscope.Remote 5000 >/dev/null || true
    end_started
    rm -rf "$work"
}
trap cleanup EXIT

shipped=$(find "$(dirname "$0")/../../resources/profiles" -maxdepth 1 -name '*.toml' | wc -l)
installed=$(find "$PROGRAM_DIR/Profiles" -maxdepth 1 -name '*.toml' 2>/dev/null | wc -l)
[ "$installed" -eq "$shipped" ] && [ -f "$PROGRAM_DIR/Profiles/mpv.toml" ] &&
    ok "setup installed the $shipped shipped profile files into Profiles" ||
    fail "Profiles holds $installed profile files, expected $shipped"

rm -rf "$work"
mkdir -p "$work"
wine reg delete 'HKCU\Software\OrbiScope' /f >/dev/null 2>&1 || true
wine "$exe" >>"$log" 2>&1 &
started+=($!)
run "$probe" wait Orbiscope.Remote 15000 >/dev/null || { echo "the program did not start"; exit 1; }

# Starts the target as program file $1 with title $2 in front, presses the buttons $3...,
# and compares what it got (its lines, joined by ";") with $expected.
press_in() {
    local name=$1 title=$2
    shift 2
    local keys="$work/${name%.exe}.keys"
    cp "$target" "$work/$name"
    wine "$work/$name" "$(winepath -w "$keys")" "$title" >>"$log" 2>&1 &
    started+=($!)
    if ! run "$probe" front OrbiscopeKeyTarget 15000 >/dev/null; then
        fail "$name \"$title\" did not come to the front"
        return
    fi
    run "$sender" --virtual "$@" >>"$log"
    local want=$(($(tr -cd ';' <<<"$expected" | wc -c) + 1)) got=""
    for _ in $(seq 1 100); do
        [ "$(tr -d '\r' <"$keys" 2>/dev/null | grep -c .)" -ge "$want" ] && break
        sleep 0.1
    done
    sleep 0.5  # a key too many would come now
    got=$(tr -d '\r' <"$keys" 2>/dev/null | paste -sd ';')
    if [ "$got" = "$expected" ]; then
        ok "$name \"$title\": $* gave $got"
    else
        fail "$name \"$title\": $* gave '$got', expected '$expected'"
    fi
    run "$probe" close OrbiscopeKeyTarget >/dev/null
    run "$probe" gone OrbiscopeKeyTarget 5000 >/dev/null || fail "$name did not close"
}

# mpv.toml: Play "Space", Next "Shift+Period", Previous "Shift+Comma", Ok "F".
expected="key 0x20;key 0xBE shift;key 0xBC shift;key 0x46"
press_in mpv.exe "movie.mkv - mpv" Play Next Previous Ok
# youtube.toml: Play "K", FastForward "L", Next "Shift+N", Digit5 "5".
expected="key 0x4B;key 0x4C;key 0x4E shift;key 0x35"
press_in chrome.exe "Cat videos - YouTube - Google Chrome" Play FastForward Next Digit5
# Notepad's row: Play is its Space.
expected="key 0x20"
press_in notepad.exe "Cat videos - YouTube - Notepad" Play

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; output:"
    tail -n 30 "$log"
    exit 1
fi
echo "all checks passed"
