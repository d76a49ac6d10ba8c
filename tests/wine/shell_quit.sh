#!/usr/bin/env bash
# A quit message posted to the running program from outside ends it in the usual close
# order: the unsaved change of the settings window reaches the registry, the icon leaves
# the notification area, and the process ends normally.
. "$(dirname "$0")/lib/shell_lib.sh"

pipe='\\.\pipe\orbiscope-shell-quit'
export ORBISCOPE_VIRTUAL_RECEIVER="$pipe"
event="orbiscope-shell-quit-unplug"
fresh_settings

start_remote
remote=$last_pid
step window 20000
d receiver "$pipe" 20000 "$event" &
server=$!
step query 1 10000
hwnd=$(d window 1000 | sed -n 's/.*hwnd=\(0x[0-9a-f]*\).*/\1/p')

echo "== a change left unsaved behind the close box"
step post 0x505
step visible 5000
before=$(d checked 1034 | tr -dc '0-9')
[ -n "$before" ] || { echo "  cannot read check box 1034"; failures=$((failures + 1)); before=0; }
after=$((1 - before))
step check 1034 "$after"
step post 0x112 0xF060
step hidden 5000

echo "== WM_QUIT from outside"
step post 0x12
for _ in $(seq 1 200); do kill -0 "$remote" 2>/dev/null || break; sleep 0.1; done
if ! kill -0 "$remote" 2>/dev/null; then
    wait "$remote"
    code=$?
    [ "$code" -eq 0 ] && echo "ok the program ended with 0" ||
        { echo "  the program ended with $code"; failures=$((failures + 1)); }
else
    echo "  the program is still running"
    failures=$((failures + 1))
fi
step gone 2000
[ -n "$hwnd" ] && step icon 0 2000 "$hwnd"
got=$(d reg ScreenSaverWakeupEnabled | tr -dc '0-9')
if [ "$got" = "$after" ]; then echo "ok registry ScreenSaverWakeupEnabled=$got"; else
    echo "  registry ScreenSaverWakeupEnabled is '$got', expected $after"; failures=$((failures + 1)); fi

step stop "$event"
wait "$server" 2>/dev/null
finish
