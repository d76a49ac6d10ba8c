#!/usr/bin/env bash
# The on-screen display end to end. The real program runs with OnScreenDisplay on and
# Notepad in front (catalogue row 125); presses come from the virtual receiver. A press
# shows the panel with its words, Notepad stays the foreground window with its edit
# control focused, and the panel goes away by itself. Against a private sound server
# (when PulseAudio is installed) a volume press shows the level after the change, the
# same level as the routing trace's line of that press, and Mute shows "Muted". Without
# the value, a press shows nothing. In a virtual desktop with Wine's taskbar, which gives
# every visible window without an owner a button, the panel gets none.
set -u
exe="$PROGRAM_DIR/OrbiscopeRemote.exe"
sender="$BUILD_DIR/orbsend.exe"
monitor="$PROGRAM_DIR/orbmonitor.exe"
probe="$BUILD_DIR/tests/window_probe.exe"
osd="$BUILD_DIR/tests/osd_probe.exe"
for f in "$exe" "$sender" "$monitor" "$probe" "$osd"; do [ -f "$f" ] || { echo "missing $f"; exit 1; }; done
log="$WINE_ENV_DIR/e2e-osd.log"
lines="$WINE_ENV_DIR/osd-trace.txt"
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-e2e-osd'
key='HKCU\Software\OrbiScope\Orbiscope Remote\Settings'
dot=$(printf '\xc2\xb7')
run() { wine "$@" 2>>"$log"; }
started=()
. "$(dirname "$0")/lib/checks.sh"
. "$(dirname "$0")/lib/user_session.sh"
check() { run "$@" || fail "failed: $*"; }

. "$(dirname "$0")/lib/sound_server.sh"
start_sound() {
    start_sound_server pulse-osd orbiscope_osd || return 1
    # A known level to step from.
    pactl set-sink-volume orbiscope_osd 50% >/dev/null 2>&1
}

stop_program() {
    run "$probe" close Orbiscope.Remote >/dev/null || true
    run "$probe" gone Orbiscope.Remote 10000 >/dev/null || true
}
# A virtual desktop with Wine's taskbar. A program started in it is reached only by
# probes started in it too, whose exit codes do not come back: their output tells.
desk=orb-osd-taskbar
desk_key="HKCU\\Software\\Wine\\Explorer\\Desktops\\$desk"
# Bounded: a probe whose explorer became the desktop itself would never return.
in_desktop() { timeout -k 5 30 wine explorer /desktop="$desk,1024x768" "$@" </dev/null 2>>"$log" | tr -d '\r'; }
cleanup() {
    run "$probe" discard Notepad Edit >/dev/null || true
    stop_program
    if [ -n "${desk_started:-}" ]; then
        in_desktop "$probe" close Orbiscope.Remote >/dev/null
        in_desktop "$probe" gone Orbiscope.Remote 10000 >/dev/null
        wine reg delete "$desk_key" /f >/dev/null 2>&1 || true
        # The copy this script started in the desktop, should the desktop have failed to
        # close it: left running, it would take the next script's presses as the one copy.
        for pid in $(ps -eo pid=,args= | awk -v e="$exe" \
                '{ pid = $1; sub(/^ *[0-9]+ /, ""); if (index($0, e) == 1) print pid }'); do
            kill "$pid" 2>/dev/null || true
            for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        done
    fi
    run "$probe" gone Notepad 5000 >/dev/null || true
    end_started
    wine reg delete "$key" /v OnScreenDisplay /f >/dev/null 2>&1 || true
    stop_sound_server
}
trap cleanup EXIT

sound=0
if start_sound; then sound=1; else echo "no sound server: the volume level is not checked"; fi

wine reg delete 'HKCU\Software\OrbiScope' /f >/dev/null 2>&1 || true
wine reg add "$key" /v OnScreenDisplay /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine "$exe" /trace >>"$log" 2>&1 &
started+=($!)
check "$probe" wait Orbiscope.Remote 15000
wine notepad >>"$log" 2>&1 &
started+=($!)
check "$probe" wait Notepad 15000
check "$probe" text Notepad Edit "" 5000

before=$(run "$osd" front | tr -d '\r')
[ "$before" = "front=Notepad focus=Edit" ] || fail "Notepad is not in front to begin with: $before"
run "$sender" --virtual Next >>"$log"
check "$osd" shown "Next $dot Notepad" 5000
after=$(run "$osd" front | tr -d '\r')
[ "$after" = "$before" ] && echo "ok foreground and focus kept" || fail "front changed: $before -> $after"
# The key reached Notepad past the panel; each tap shows the letter it chose.
run "$sender" --virtual Digit2 Digit2 >>"$log"
check "$osd" shown "Letter B" 5000
check "$probe" text Notepad Edit "b" 5000
check "$osd" hidden 4000

# The volume: the panel tells the level the trace line of the same press tells.
rm -f "$lines"
wine "$monitor" --attach >"$lines" 2>>"$log" &
started+=($!)
for _ in $(seq 1 100); do grep -q '^attached' "$lines" 2>/dev/null && break; sleep 0.1; done
# Waits for the trace line of the n-th press of $1 and prints what the panel must say.
expected_volume_panel() {
    local line=
    for _ in $(seq 1 100); do
        line=$(tr -d '\r' <"$lines" | grep "| $1 variant" | sed -n "${2}p")
        [ -n "$line" ] && break
        sleep 0.1
    done
    if grep -q 'sound muted' <<<"$line"; then echo "Muted"
    elif level=$(grep -oE 'volume now [0-9]+%' <<<"$line"); then echo "Volume ${level#volume now }"
    elif grep -q 'sound unmuted' <<<"$line"; then echo "Unmuted"
    elif [ -n "$line" ]; then echo "${3}"
    fi
}
# BUTTON, which of its trace lines, its variant (two presses of one button in a row
# differ in it, or the second is a held button's repeat), the words without a level.
for press in "VolumeUp 1 1 Volume Up" "Mute 1 1 Mute" "Mute 2 2 Mute" "VolumeDown 1 1 Volume Down"; do
    set -- $press
    # Each panel is seen come up, not left over from the press before.
    check "$osd" hidden 4000
    run "$sender" --virtual --first-variant "$3" "$1" >>"$log"
    want=$(expected_volume_panel "$1" "$2" "${*:4}")
    if [ -z "$want" ]; then fail "no trace line for $1"; continue; fi
    check "$osd" shown "$want" 5000
done
if [ "$sound" = 1 ]; then
    grep -q 'volume now [0-9]*%' "$lines" || fail "the sound server's level was not read"
fi
after=$(run "$osd" front | tr -d '\r')
[ "$after" = "$before" ] || fail "front changed by the volume presses: $after"

# The value off: a press shows nothing.
stop_program
wine reg add "$key" /v OnScreenDisplay /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine "$exe" >>"$log" 2>&1 &
started+=($!)
check "$probe" wait Orbiscope.Remote 15000
run "$sender" --virtual Next >>"$log"
check "$osd" quiet 3000

# No taskbar button while the panel is up.
stop_program
wine reg add "$desk_key" /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$key" /v OnScreenDisplay /t REG_DWORD /d 1 /f >/dev/null 2>&1
desk_started=1
wine explorer /desktop="$desk,1024x768" "$exe" >>"$log" 2>&1 &
started+=($!)
# The desktop belongs to the explorer that makes it, which stays while the desktop has
# windows: the program's explorer must have made it (the program is running) before a
# probe's explorer starts, or the probe's would become the desktop and never return.
for _ in $(seq 1 300); do
    ps -eo args | awk -v e="$exe" 'index($0, e) == 1 { f = 1 } END { exit !f }' && break
    sleep 0.1
done
for _ in $(seq 1 5); do in_desktop "$probe" wait Orbiscope.Remote 1000 | grep -q '^ok' && break; done
in_desktop "$osd" taskbar 20000 >"$WINE_ENV_DIR/osd-taskbar.txt" &
looking=$!
# Presses until the probe, however late it starts, has seen the panel for a while.
for _ in $(seq 1 8); do
    kill -0 "$looking" 2>/dev/null || break
    run "$sender" --virtual Mute >>"$log"
    sleep 1
done
wait "$looking"
seen=$(cat "$WINE_ENV_DIR/osd-taskbar.txt")
# A virtual desktop that Wine could not make (its probes then answer nothing) leaves the
# taskbar unseen; the panel's owner, which is what keeps it off every taskbar, is checked
# by the display window's adapter test all the same.
if [ -z "$seen" ]; then
    echo "taskbar not checked: no probe answered from Wine's virtual desktop"
elif [ "$seen" = "no taskbar button for the panel" ]; then
    echo "ok $seen"
else
    fail "taskbar: $seen"
fi

[ "$failures" -eq 0 ] || { echo "FAIL: $failures checks (log: $log)"; exit 1; }
echo "PASS"
