#!/usr/bin/env bash
# Another remote end to end, on the installed program with its log on and the virtual
# receiver plugged in throughout. The settings' Programs page opens the Another Remote
# dialog; a made-up remote (a code nobody's, toggling between two variants, with a short
# repeat frame while held) is learned as Play through the dialog's controls: while it
# listens, the presses do nothing else. The learned code then acts as Play, and held it
# repeats. A code that is our own Play's is refused with a message saying so, and
# nothing is written. The code monitor names the learned remote. Removed in the dialog,
# the code does nothing again.
. "$(dirname "$0")/lib/shell_lib.sh"

sender="$BUILD_DIR/orbsend.exe"
[ -f "$sender" ] || { echo "missing $sender"; exit 1; }
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-another-remote-e2e'
key='HKCU\Software\OrbiScope\Orbiscope Remote\Settings'
remote_fifo="$WINE_ENV_DIR/another-remote-fifo"
title="Another Remote"
code=9944121212121212
toggled=9944121212121218
repeat=994212

fail() { echo "  $*"; failures=$((failures + 1)); }
trace_file() { find "$WINEPREFIX/drive_c/users" -path '*Orbiscope/Remote/trace.log' 2>/dev/null | head -n 1; }
# The trace's lines after line $1.
trace_after() { tr -d '\r' <"$(trace_file)" 2>/dev/null | tail -n +$(($1 + 1)); }
trace_lines() { tr -d '\r' <"$(trace_file)" 2>/dev/null | wc -l; }
# Waits up to $3 seconds for the pattern $2 in the trace after line $1.
trace_has() {
    for _ in $(seq 1 $(($3 * 10))); do
        trace_after "$1" | grep -Eq -- "$2" && return 0
        sleep 0.1
    done
    return 1
}
press() { echo "$*" >&8; }
ctl() { d control "$title" "$@"; }
roaming=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
remotes="${roaming%/}/Orbiscope/Remote/Profiles/Remotes"

fresh_settings
rm -rf "$remotes"
find "$WINEPREFIX/drive_c/users" -path '*Orbiscope/Remote/trace*.log' -delete 2>/dev/null
wine reg add "$key" /v ShowUnsupportedDlg /t REG_DWORD /d 0 /f >/dev/null 2>&1
cleanup_files() { rm -rf "$remotes"; cleanup; }
trap cleanup_files EXIT

start_remote /trace
step window 20000
rm -f "$remote_fifo"
mkfifo "$remote_fifo"
exec 8<>"$remote_fifo"
wine "$sender" --virtual --stay <&8 >>"$log" 2>&1 &
started+=($!)
step query 1 10000

open_dialog() {
    step post 0x505
    step visible 5000
    step click 1100
    step dialog "$title" 10000
}
close_dialog() {
    ctl 2 click >/dev/null
    local gone=""
    for _ in $(seq 1 50); do d no-dialog "$title" 100 >/dev/null && { gone=1; break; }; done
    [ -n "$gone" ] && echo "ok the dialog closed" || fail "the dialog stayed open"
    step form 1031
    step hidden 5000
}

echo "== learning: two presses, the second held, then Save as Play"
open_dialog
ctl 1102 text | grep -q 'Listening' && echo "ok the dialog says it listens" || fail "no 'Listening' in the dialog"
step control "$title" 1101 settext "Test TV"
mark=$(trace_lines)
press "raw=$code:hold=600ms:repeat=$repeat" "pause=800ms" "raw=$toggled:hold=600ms:repeat=$repeat"
status=""
for _ in $(seq 1 50); do
    status=$(ctl 1102 text | tr -d '\r')
    case "$status" in Learned*) break ;; esac
    sleep 0.2
done
[ "$status" = "Learned a code in two variants, with the frame it repeats while held. Choose the button it stands for, then Save." ] &&
    ok_line="ok $status" || ok_line=""
[ -n "$ok_line" ] && echo "$ok_line" || fail "the dialog says: $status"
trace_after "$mark" | grep -q 'accepted' && fail "a press acted while the dialog listened" ||
    echo "ok the presses did nothing else"
step control "$title" 1104 select 6
step control "$title" 1105 click
for _ in $(seq 1 50); do [ -f "$remotes/Test TV.toml" ] && break; sleep 0.1; done
if grep -q '^\[buttons.Play\]' "$remotes/Test TV.toml" 2>/dev/null &&
    grep -q "^toggle = \"$toggled\"" "$remotes/Test TV.toml" && grep -q "^repeat = \"$repeat\"" "$remotes/Test TV.toml"; then
    echo "ok Test TV.toml holds Play with its toggle and repeat frame"
else
    fail "no Play in $remotes/Test TV.toml: $(cat "$remotes/Test TV.toml" 2>/dev/null)"
fi

echo "== the code monitor reads the learned remote as the program does"
codes="$WINE_ENV_DIR/another-remote-codes.bin"
wine "$sender" --fast --out "$(winepath -w "$codes")" "raw=$code" "raw=$repeat" >>"$log" 2>&1
seen=$(wine "$PROGRAM_DIR/orbmonitor.exe" "$(winepath -w "$codes")" 2>>"$log" | tr -d '\r')
echo "$seen" | grep -q '^learned remote "Test TV": 1 buttons$' &&
    echo "$seen" | grep -q 'Play variant 1 (learned remote "Test TV"), new press: accepted' &&
    echo "$seen" | grep -q 'Play variant 1 (learned remote "Test TV", repeat frame), held' &&
    echo "ok orbmonitor names Test TV" || fail "orbmonitor says: $seen"

echo "== our own Play's code is refused"
step control "$title" 1103 click
press Play "pause=800ms" Play
for _ in $(seq 1 50); do ctl 1102 text | grep -q '^Learned' && break; sleep 0.2; done
step control "$title" 1104 select 8
step control "$title" 1105 click
said=$(d control "Orbiscope Remote" 65535 text | tr -d '\r')
[ "$said" = "This code already means Play on the Orbiscope remote. Nothing was saved." ] &&
    echo "ok refused: $said" || fail "the refusal says '$said'"
step dialog "Orbiscope Remote" 5000 1
[ "$(ls "$remotes")" = "Test TV.toml" ] && ! grep -q Stop "$remotes/Test TV.toml" &&
    echo "ok nothing written" || fail "the folder holds: $(ls "$remotes")"
close_dialog

echo "== the learned code acts as Play, and held it repeats"
mark=$(trace_lines)
press "raw=$code"
if trace_has "$mark" "Play variant 1: new press, accepted \| learned remote \"Test TV\"" 10; then
    echo "ok the code acts as Play"
else
    fail "the code did not act as Play: $(trace_after "$mark" | tail -n 3)"
fi
sleep 1.5
mark=$(trace_lines)
press "raw=$toggled:hold=2s:repeat=$repeat"
trace_has "$mark" "Play variant 2: held, repeat accepted" 10 && sleep 2.5
held=$(trace_after "$mark" | grep -c 'Play variant 2: held, repeat accepted')
[ "$held" -ge 2 ] && echo "ok held, it repeated $held times" || fail "held, it repeated $held times"

echo "== removed, the code does nothing"
open_dialog
rows=$(ctl 1106 rows | tr -d '\r' | paste -sd '|')
[ "$rows" = "Test TV|    Play" ] && echo "ok listed: $rows" || fail "the list shows '$rows'"
step control "$title" 1106 row 0
step control "$title" 1107 click
for _ in $(seq 1 50); do [ -f "$remotes/Test TV.toml" ] || break; sleep 0.1; done
[ -f "$remotes/Test TV.toml" ] && fail "Test TV.toml is still there" || echo "ok Test TV.toml removed"
close_dialog
mark=$(trace_lines)
press "raw=$code"
if trace_has "$mark" "no match \(16 values\)" 10; then
    echo "ok the code matches nothing again"
else
    fail "the removed code: $(trace_after "$mark" | tail -n 3)"
fi

finish
