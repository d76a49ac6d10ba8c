#!/usr/bin/env bash
# The real program without a receiver: it starts hidden, only one copy runs, "/S" from a
# second copy brings up the "Hardware Error" dialog, the icon survives a rebuilt
# notification area, and Shutdown asks before it saves, removes the icon and ends.
. "$(dirname "$0")/lib/shell_lib.sh"

# A pipe nobody serves: no receiver on this machine.
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-shell-none'
fresh_settings

echo "== two copies started together: one runs"
start_remote
first=$last_pid
start_remote
second=$last_pid
step window 20000
step count 1 3000
# One of the two ends by itself; the other keeps running.
for _ in $(seq 1 150); do
    if ! kill -0 "$first" 2>/dev/null || ! kill -0 "$second" 2>/dev/null; then break; fi
    sleep 0.1
done
if kill -0 "$first" 2>/dev/null && kill -0 "$second" 2>/dev/null; then
    echo "  both copies are still running"
    failures=$((failures + 1))
fi
step count 1 100
step hidden 100
hwnd=$(d window 1000 | sed -n 's/.*hwnd=\(0x[0-9a-f]*\).*/\1/p')
echo "main window $hwnd"

echo "== no receiver: the query answers 0 and the icon is shown"
step query 0 3000
step icon 1 5000

echo "== a second copy without /s: nothing shows, it exits"
start_remote
expect_exit "$last_pid" 20
step no-dialog "Hardware Error" 1500
step hidden 100

echo "== a second copy with /S: the first shows the Hardware Error dialog"
start_remote /S
expect_exit "$last_pid" 20
step dialog "Hardware Error" 10000 1
step hidden 100

echo "== the tray menu: Escape closes it with no command"
step menu esc 10000
step no-dialog "Hardware Error" 1500
step count 1 100
step hidden 100

echo "== the tray menu's Settings, and a left click on the icon: the Hardware Error dialog"
step menu s 10000
step dialog "Hardware Error" 10000 1
step post 0x500 1024 0x202
step dialog "Hardware Error" 10000 1
step hidden 100

echo "== the notification area is rebuilt: the icon comes back"
step icon-delete
step icon 0 2000
step taskbar-created
step icon 1 5000
step query 0 1000

echo "== the close box only hides"
step post 0x112 0xF060
step hidden 1000
step count 1 100

echo "== Shutdown answered No changes nothing"
step post 0x111 32773
step dialog "Orbiscope Remote Warning" 10000 7
step count 1 1000
step icon 1 1000

echo "== Shutdown answered Yes ends the program and takes the icon away"
step post 0x111 32773
step dialog "Orbiscope Remote Warning" 10000 6
step gone 10000
[ -n "$hwnd" ] && step icon 0 3000 "$hwnd"
for pid in "$first" "$second"; do
    kill -0 "$pid" 2>/dev/null && expect_exit "$pid" 20
done

echo "== a first copy started with /s asks for its settings by itself"
start_remote /s
third=$last_pid
step window 20000
step dialog "Hardware Error" 15000 1
step hidden 100
step post 0x10
step gone 10000
expect_exit "$third" 20
finish
