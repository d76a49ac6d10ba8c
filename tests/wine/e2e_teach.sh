#!/usr/bin/env bash
# Teaching a button on the installed program, from the Programs page's "Teach a button..."
# with the virtual receiver and keys typed with SendInput. The user's hand-written file
# for a test player (orbteachplayer.exe, the key window under that name) names Stop only.
# The dialog offers the player's window; Play pressed on the remote is captured (the
# trace says so, nothing is sent), Ctrl+Shift+P typed into the key box is the chord, and
# Enter saves it: the file gains that one line, its comments and lines kept. Once the
# dialog is closed, Play in the player sends Ctrl+Shift+P. Escape while the dialog waits
# for a button ends the capture, and so does hiding the settings window: the next press
# acts again.
set -u
exe="$PROGRAM_DIR/OrbiscopeRemote.exe"
sender="$BUILD_DIR/orbsend.exe"
probe="$BUILD_DIR/tests/window_probe.exe"
target="$BUILD_DIR/tests/key_target.exe"
drv="$BUILD_DIR/tests/shell_driver.exe"
for f in "$exe" "$sender" "$probe" "$target" "$drv"; do [ -f "$f" ] || { echo "missing $f"; exit 1; }; done
log="$WINE_ENV_DIR/e2e-teach.log"
keys="$WINE_ENV_DIR/e2e-teach-keys.txt"
apps="$WINE_ENV_DIR/e2e-teach-apps"
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-e2e-teach'
run() { wine "$@" 2>>"$log"; }
started=()
. "$(dirname "$0")/lib/checks.sh"
probe_step() { run "$probe" "$@" >>"$log" || fail "step failed: probe $*"; }
d() { run "$drv" "$@"; }
step() { d "$@" >>"$log" || fail "step failed: $*"; }
dialog="Teach a Button"

. "$(dirname "$0")/lib/user_session.sh"
user_folders
player="$profiles/orbteachplayer.toml"
fifo=""

cleanup() {
    run "$probe" close OrbiscopeKeyTarget >/dev/null || true
    run "$probe" close Orbiscope.Remote >/dev/null || true
    run "$probe" gone Orbiscope.Remote 5000 >/dev/null || true
    end_started
    rm -f "$profiles"/*.toml
    [ -z "$fifo" ] || rm -f "$fifo"
}
trap cleanup EXIT

# The key window as orbteachplayer.exe, in front, writing what it receives into $keys.
start_player() {
    run "$probe" close OrbiscopeKeyTarget >/dev/null
    run "$probe" gone OrbiscopeKeyTarget 5000 >/dev/null
    mkdir -p "$apps"
    cp "$target" "$apps/orbteachplayer.exe"
    : >"$keys"
    wine "$apps/orbteachplayer.exe" "$(winepath -w "$keys")" TeachPlayer >>"$log" 2>&1 &
    started+=($!)
    probe_step wait OrbiscopeKeyTarget 15000
    probe_step front OrbiscopeKeyTarget 5000
}
received() { tr -d '\r' <"$keys" | paste -sd ';'; }
last_trace() { tr -d '\r' <"$tracelog" 2>/dev/null | tail -n 1; }
# Presses $1 on the receiver that stays plugged in, and waits until the trace has a new
# line for it.
press() {
    local before
    before=$(tr -d '\r' <"$tracelog" 2>/dev/null | wc -l)
    echo "$1" >&8
    for _ in $(seq 1 50); do
        [ "$(tr -d '\r' <"$tracelog" 2>/dev/null | wc -l)" -gt "$before" ] && { sleep 0.3; return 0; }
        sleep 0.1
    done
    fail "no trace line for $1"
}
open_teach() {
    wine "$exe" /S >>"$log" 2>&1 &
    started+=($!)
    step visible 10000
    step page 2
    step click 1080
    step dialog "$dialog" 10000
    step text "$dialog" 1083 "Press the button on the remote now" 5000
}

wine reg delete 'HKCU\Software\OrbiScope' /f >/dev/null 2>&1 || true
rm -f "$tracelog"
mkdir -p "$profiles"
rm -f "$profiles"/*.toml
original=$'# My own keys for the test player: written by hand.\n[program]\nname = "Teach player"\nmatch = { process = "orbteachplayer.exe" }\n\n[buttons]\n# Stop as I like it\nStop = "F9"   # kept\n'
printf '%s' "$original" >"$player"

wine "$exe" /trace >>"$log" 2>&1 &
started+=($!)
probe_step wait Orbiscope.Remote 15000
# The receiver plugged in for the whole run: the settings open only with one.
fifo="$WINE_ENV_DIR/e2e-teach-remote"
rm -f "$fifo"
mkfifo "$fifo"
exec 8<>"$fifo"
wine "$sender" --virtual --stay <&8 >>"$log" 2>&1 &
started+=($!)
step query 1 10000
start_player

echo "== Play taught as Ctrl+Shift+P for the player's window"
open_teach
step choose "$dialog" 1081 "TeachPlayer (orbteachplayer.exe)"
press Play
last_trace | grep -q 'captured: a button is being taught' && ok "the press captured" ||
    fail "the press not captured: $(last_trace)"
step text "$dialog" 1083 "The remote's button: Play" 5000
[ -z "$(received)" ] && ok "nothing sent while teaching" || fail "sent while teaching: $(received)"
step keys "$dialog" ctrl+shift+p 5000
step text "$dialog" 1085 "Ctrl+Shift+P" 5000
step keys "$dialog" enter 5000
saved=$(d text "$dialog" 1089 "orbteachplayer.toml" 5000 | head -n 1)
case "$saved" in
    *'Play = "Ctrl+Shift+P" is saved in'*) ok "the dialog names the file: $saved" ;;
    *) fail "the dialog says: $saved" ;;
esac
changes=$(diff <(printf '%s' "$original") <(tr -d '\r' <"$player") | grep '^[<>]')
[ "$changes" = '> Play = "Ctrl+Shift+P"' ] && ok "the file gained the one line" ||
    fail "the file's changes: $changes"
grep -q '^# Stop as I like it$' <(tr -d '\r' <"$player") && ok "the hand-written comment kept" ||
    fail "the comment is gone: $(cat "$player")"
step keys "$dialog" esc 5000
sleep 1
step no-dialog "$dialog" 500

echo "== the taught button in the player"
step form 1031
step hidden 5000
start_player
press Play
got=""
for _ in $(seq 1 30); do
    got=$(received)
    [ -n "$got" ] && break
    sleep 0.1
done
[ "$got" = "key 0x50 ctrl shift" ] && ok "Play sends Ctrl+Shift+P" ||
    fail "Play sends '$got' (trace: $(last_trace))"
last_trace | grep -q 'user profile orbteachplayer\.toml:9' && ok "the trace names the new line" ||
    fail "the trace: $(last_trace)"

echo "== Escape while waiting ends the capture"
open_teach
step keys "$dialog" esc 5000
sleep 1
step no-dialog "$dialog" 500
press Stop
last_trace | grep -q 'captured' && fail "still captured: $(last_trace)" || ok "the press acts again"

echo "== hiding the settings window closes the waiting dialog"
open_teach
step post 0x504
step hidden 5000
sleep 1
step no-dialog "$dialog" 500
press Stop
last_trace | grep -q 'captured' && fail "still captured: $(last_trace)" || ok "the press acts again"

if [ "$failures" -ne 0 ]; then
    echo "$failures step(s) failed; output:"
    tail -n 30 "$log"
    echo "--- trace"; tail -n 20 "$tracelog" 2>/dev/null
    exit 1
fi
echo "all steps passed"
