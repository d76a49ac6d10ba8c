#!/usr/bin/env bash
# Sleep and resume with the real program. Wine cannot put the machine to sleep, so the
# suspend and the resume are simulated by posting the system's power broadcasts
# (WM_POWERBROADCAST with PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC and
# PBT_APMRESUMESUSPEND) to the program's main window. The virtual receiver plays the
# faults of sleep: a receiver gone during the suspend that comes back 2 s after the
# resume, and one whose first connection after the resume reads without error and
# delivers nothing. Each time the program is back to delivering presses, the icon says
# so, and a Power press within 3 s of the resume does nothing (the trace says why).
. "$(dirname "$0")/lib/shell_lib.sh"

sender="$BUILD_DIR/orbsend.exe"
[ -f "$sender" ] || { echo "missing $sender"; exit 1; }
pipe='\\.\pipe\orbiscope-sleep-e2e'
export ORBISCOPE_VIRTUAL_RECEIVER="$pipe"
key='HKCU\Software\OrbiScope\Orbiscope Remote\Settings'
remote_fifo="$WINE_ENV_DIR/sleep-remote"

WM_POWERBROADCAST=0x218
PBT_APMSUSPEND=4
PBT_APMRESUMESUSPEND=7
PBT_APMRESUMEAUTOMATIC=0x12

fail() { echo "  $*"; failures=$((failures + 1)); }
trace_file() { find "$WINEPREFIX/drive_c/users" -path '*Orbiscope/Remote/trace.log' 2>/dev/null | head -n 1; }
# Waits up to $2 seconds for the pattern $1 (extended regular expression) in the trace log.
trace_has() {
    local file
    for _ in $(seq 1 $(($2 * 10))); do
        file=$(trace_file)
        [ -n "$file" ] && tr -d '\r' <"$file" | grep -Eq -- "$1" && return 0
        sleep 0.1
    done
    return 1
}
expect_trace() {
    if trace_has "$1" "$2"; then echo "ok $3"; else fail "no $3 in the trace log"; fi
}
press() { echo "$*" >&8; }

fresh_settings
find "$WINEPREFIX/drive_c/users" -path '*Orbiscope/Remote/trace*.log' -delete 2>/dev/null
# The Power button starts the screen saver: an action the trace shows as a message.
wine reg add "$key" /v PowerButtonEnabled /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$key" /v PowerButtonMode /t REG_DWORD /d 3 /f >/dev/null 2>&1
wine reg add "$key" /v ShowUnsupportedDlg /t REG_DWORD /d 0 /f >/dev/null 2>&1

start_remote /trace
step window 20000

rm -f "$remote_fifo"
mkfifo "$remote_fifo"
exec 8<>"$remote_fifo"
wine "$sender" --virtual --stay <&8 >>"$log" 2>&1 &
started+=($!)
step query 1 10000
press Record
expect_trace 'Record variant [12]: new press, accepted' 10 "a press before any sleep"

echo "== the receiver is gone during the sleep and back 2 s after the resume"
step post $WM_POWERBROADCAST $PBT_APMSUSPEND
expect_trace 'suspend: receiver closed, reading stopped' 10 "the reader stopping for the suspend"
step query 0 5000
press unplug=3s
sleep 1
step post $WM_POWERBROADCAST $PBT_APMRESUMEAUTOMATIC
expect_trace 'receiver reopened [0-9]+\.[0-9] s after resume' 20 "the receiver reopened after the resume"
step query 1 5000
press Rewind
expect_trace 'Rewind variant [12]: new press, accepted' 10 "a press after the first resume"

echo "== the first connection after the resume is silent until it is reopened"
sleep 1
step post $WM_POWERBROADCAST $PBT_APMSUSPEND
step query 0 5000
press stale
step post $WM_POWERBROADCAST $PBT_APMRESUMEAUTOMATIC
step post $WM_POWERBROADCAST $PBT_APMRESUMESUSPEND
expect_trace 'receiver silent [0-9]+\.[0-9] s after resume: reopened' 10 "the silent receiver reopened"
press Power
expect_trace 'Power variant [12]: new press, accepted \| ignored: [0-2]\.[0-9] s after resume \| no action' 10 \
    "a Power press within 3 s of the resume doing nothing"
sleep 3
press Power
expect_trace 'Power variant [12]: new press, accepted .*message 0x0112 wParam 61760' 10 \
    "the Power button acting again after 3 s"
press FastForward
expect_trace 'FastForward variant [12]: new press, accepted' 10 "a press after the second resume"
step query 1 2000

# Only one resume was acted on for the two notices of the second wake.
resumes=$(tr -d '\r' <"$(trace_file)" | grep -c 'resume: reopening the receiver')
[ "$resumes" = 2 ] && echo "ok one resume per wake" || fail "$resumes resumes noted for two wakes"

exec 8>&-
finish
