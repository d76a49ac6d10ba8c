#!/usr/bin/env bash
# The first start after an installation: the hardware-wait window waits for the
# receiver; once it opens, the introduction is started (here it is taken out of the
# installation, so its error box shows; the setup's test sees it start) and the
# start-up values are reset.
. "$(dirname "$0")/lib/shell_lib.sh"
intro="$PROGRAM_DIR/Docs/intro.exe"
[ -f "$intro" ] && mv "$intro" "$intro.aside"

pipe='\\.\pipe\orbiscope-shell-first-run'
export ORBISCOPE_VIRTUAL_RECEIVER="$pipe"
event="orbiscope-shell-first-run-unplug"
fresh_settings
# What a setup with the introduction and the receiver wait ticked leaves machine-wide;
# the program takes it into this user's settings at its start.
machine='HKLM\Software\Orbiscope\Orbiscope Remote\Settings'
set_machine() { wine reg add "$machine" /v "$1" /t "$2" /d "$3" /reg:32 /f >/dev/null 2>&1; }
set_machine CancelSlideshow REG_DWORD 0
set_machine CancelPlugInWindow REG_DWORD 0
set_machine InstallStamp REG_SZ "first-run-$$"
trap 'cleanup; [ -f "$intro.aside" ] && mv "$intro.aside" "$intro"; wine reg delete "$machine" /v InstallStamp /reg:32 /f >/dev/null 2>&1' EXIT

value_is() {
    local got
    got=$(d reg "$1" | tr -dc '0-9')
    if [ "$got" = "$2" ]; then echo "ok $1=$got"; else
        echo "  $1 is '$got', expected $2"; failures=$((failures + 1)); fi
}

start_remote
remote=$last_pid
step window 20000
step wait-window 1 10000
value_is InstallJustRan 1

echo "== the receiver opens: the introduction cannot start, and says so"
d receiver "$pipe" 20000 "$event" &
server=$!
step wait-window 0 15000
step dialog "Orbiscope Remote Error" 15000 1
step query 1 10000
value_is InstallJustRan 0
value_is CancelSlideshow 0
step stop "$event"
wait "$server" 2>/dev/null || { echo "  the receiver server failed"; failures=$((failures + 1)); }

step post 0x10
step gone 10000
expect_exit "$remote" 20
finish
