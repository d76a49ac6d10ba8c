#!/usr/bin/env bash
# The real program with the virtual receiver plugged in and out: the query and the icon
# follow it, "/S" opens the settings, OK saves the pages' changes, Cancel undoes them,
# the close box keeps them unsaved and Shutdown saves them.
. "$(dirname "$0")/lib/shell_lib.sh"

pipe='\\.\pipe\orbiscope-shell-e2e'
export ORBISCOPE_VIRTUAL_RECEIVER="$pipe"
event="orbiscope-shell-e2e-unplug"
fresh_settings

start_remote
remote=$last_pid
step window 20000
step query 0 3000

echo "== the receiver is plugged in"
d receiver "$pipe" 20000 "$event" &
server=$!
step query 1 10000
step icon 1 3000

echo "== a second copy with /S shows the settings window"
start_remote /S
expect_exit "$last_pid" 20
step visible 10000

# Check box 1034: stop the screen saver when a button is pressed.
before=$(d checked 1034 | tr -dc '0-9')
[ -n "$before" ] || { echo "  cannot read check box 1034"; failures=$((failures + 1)); before=0; }
after=$((1 - before))
reg_is() {
    local got
    got=$(d reg ScreenSaverWakeupEnabled | tr -dc '0-9')
    if [ "$got" = "$1" ]; then echo "ok registry ScreenSaverWakeupEnabled=$got"; else
        echo "  registry ScreenSaverWakeupEnabled is '$got', expected $1"; failures=$((failures + 1)); fi
}
checked_is() {
    local got
    got=$(d checked 1034 | tr -dc '0-9')
    if [ "$got" = "$1" ]; then echo "ok check box 1034=$got"; else
        echo "  check box 1034 is '$got', expected $1"; failures=$((failures + 1)); fi
}

echo "== OK writes the change"
step check 1034 "$after"
step form 1030
step hidden 5000
reg_is "$after"

echo "== Cancel undoes a change"
step post 0x500 1024 0x202
step visible 5000
step check 1034 "$before"
step form 1031
step hidden 5000
reg_is "$after"
checked_is "$after"

echo "== the close box hides, the change stays unsaved"
step post 0x505
step visible 5000
step check 1034 "$before"
step post 0x112 0xF060
step hidden 5000
reg_is "$after"

echo "== the system asks whether it may end the session: the change is saved"
answer=$(d send 0x11 0 0 | tr -dc '0-9')
[ "$answer" = "1" ] && echo "ok the session may end" || { echo "  WM_QUERYENDSESSION answered '$answer'"; failures=$((failures + 1)); }
reg_is "$before"
step count 1 100

echo "== another unsaved change, for Shutdown to save"
step post 0x505
step visible 5000
step check 1034 "$after"
step post 0x112 0xF060
step hidden 5000
reg_is "$before"

echo "== the receiver is unplugged"
step stop "$event"
wait "$server" 2>/dev/null || { echo "  the receiver server failed"; failures=$((failures + 1)); }
step query 0 10000
step icon 1 2000

echo "== without the receiver, /s shows the Hardware Error dialog instead"
step post 0x505
step dialog "Hardware Error" 10000 1
step hidden 100

step post 0x111 32773
step dialog "Orbiscope Remote Warning" 10000 6
step gone 10000
expect_exit "$remote" 20
reg_is "$after"
finish
