#!/usr/bin/env bash
# The routing trace end to end. The real program runs with the log on ("/trace") and
# Notepad in front (catalogue row 125). A viewer (orbmonitor --attach) gets the route of
# a press: the button, the repeat filter, the row and its program, the button message
# posted to Notepad and the key typed. A second viewer stops reading (--pause): the
# presses made meanwhile still reach Notepad, the reading viewer misses nothing, and the
# stalled one is told how many lines it lost once it reads again. The log holds the
# same route. Viewers that connect and close a thousand times leave the program the
# threads it had. Closing the program ends the viewers; a program holding the pipe's name
# first keeps the trace from being served there, as the log says; with a log folder that
# cannot be made, the program runs on without its log.
set -u
exe="$PROGRAM_DIR/OrbiscopeRemote.exe"
sender="$BUILD_DIR/orbsend.exe"
monitor="$PROGRAM_DIR/orbmonitor.exe"
probe="$BUILD_DIR/tests/window_probe.exe"
for f in "$exe" "$sender" "$monitor" "$probe"; do [ -f "$f" ] || { echo "missing $f"; exit 1; }; done
log="$WINE_ENV_DIR/e2e-trace.log"
reading="$WINE_ENV_DIR/trace-reading.txt"
stalled="$WINE_ENV_DIR/trace-stalled.txt"
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-e2e-trace'
run() { wine "$@" 2>>"$log"; }
started=()
. "$(dirname "$0")/lib/checks.sh"
. "$(dirname "$0")/lib/user_session.sh"
step() { run "$probe" "$@" || fail "step failed: $*"; }
# Waits up to $3 seconds for the pattern $2 (extended regular expression) in file $1,
# whose lines end as a Windows console ends them.
wait_for() {
    for _ in $(seq 1 $(($3 * 10))); do
        [ -f "$1" ] && tr -d '\r' <"$1" | grep -Eq -- "$2" && return 0
        sleep 0.1
    done
    return 1
}
expect() {
    if wait_for "$1" "$2" "$3"; then echo "ok $4"; else fail "no $4 in $(basename "$1")"; fi
}
cleanup() {
    exec 7>&- 2>/dev/null
    run "$probe" discard Notepad Edit >/dev/null || true
    run "$probe" close Orbiscope.Remote >/dev/null || true
    run "$probe" gone Notepad 5000 >/dev/null || true
    run "$probe" gone Orbiscope.Remote 5000 >/dev/null || true
    end_started
}
trap cleanup EXIT

wine reg delete 'HKCU\Software\OrbiScope' /f >/dev/null 2>&1 || true
find "$WINEPREFIX/drive_c/users" -path '*Orbiscope/Remote/trace*.log' -delete 2>/dev/null
rm -f "$reading" "$stalled"
wine "$exe" /trace >>"$log" 2>&1 &
started+=($!)
step wait Orbiscope.Remote 15000
wine notepad >>"$log" 2>&1 &
started+=($!)
step wait Notepad 15000
step text Notepad Edit "" 5000

# Viewers that connect and close at once, with no press: afterwards the program has
# the threads it had before them (it notices each one go without a press).
threads_of_program() { run "$probe" threads Orbiscope.Remote | tr -d '\r'; }
sleep 2
before=$(threads_of_program)
step trace-cycles 1000
after=$before
for _ in $(seq 1 100); do
    after=$(threads_of_program)
    [ "$after" -le "$before" ] 2>/dev/null && break
    sleep 0.1
done
if [ "$after" -le "$before" ] 2>/dev/null; then
    echo "ok 1000 connect/close cycles: $before threads before, $after after"
else
    fail "threads after 1000 connect/close cycles: $after (before: $before)"
fi

# 1 route line, 600 lines while the second viewer stalls, 2 letter taps.
wine "$monitor" --attach --count 603 >"$reading" 2>>"$log" &
started+=($!)
expect "$reading" '^attached' 10 "first viewer attached"

route='Next variant [12]: new press, accepted \| catalogue row 125 notepad\.exe \| post to Notepad: message 0x[0-9A-F]{4} wParam 11 lParam 0; key Right \| last action after [0-9]+\.[0-9]{3} ms$'
run "$sender" --virtual Next >>"$log"
expect "$reading" "^[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} \| $route" 10 "route of Next into Notepad"

# It pauses after its first line until a line comes on its standard input.
fifo="$WINE_ENV_DIR/trace-resume"
rm -f "$fifo"
mkfifo "$fifo"
exec 7<>"$fifo"
wine "$monitor" --attach --pause <&7 >"$stalled" 2>>"$log" &
started+=($!)
expect "$stalled" '^attached' 10 "second viewer attached"
# Its first line, after which it stops reading.
run "$sender" --virtual Record >>"$log"
expect "$stalled" 'Record variant' 10 "first line of the stalling viewer"

words=()
for _ in $(seq 1 599); do words+=(Record); done
run "$sender" --virtual --fast --first-variant 2 "${words[@]}" >>"$log"
# Two taps of 2 make a "b" while that viewer still reads nothing.
run "$sender" --virtual Digit2 Digit2 >>"$log"
step text Notepad Edit "b" 5000
expect "$reading" 'Digit2 variant [12]: new press, accepted \| catalogue row 125 notepad\.exe' 10 \
    "the letter taps in the reading viewer"
grep -q 'dropped' "$reading" && fail "the reading viewer lost lines"
[ "$(grep -c 'Record variant' "$reading")" -eq 600 ] || fail "the reading viewer did not get all 600 Record lines"

grep -q 'Digit2' "$stalled" && fail "the paused viewer read on"
echo >&7
expect "$stalled" '^-- [0-9]+ lines dropped: this viewer fell behind' 30 "drop count in the stalled viewer"
expect "$stalled" 'Digit2 variant' 10 "lines after the drop in the stalled viewer"
step wait Orbiscope.Remote 1000

tracelog=$(find "$WINEPREFIX/drive_c/users" -path '*Orbiscope/Remote/trace.log' 2>/dev/null | head -n 1)
if [ -n "$tracelog" ] && grep -Eq "$route" <(tr -d '\r' <"$tracelog"); then
    echo "ok route in $tracelog"
else
    fail "no route in the trace log (${tracelog:-not found})"
fi

# The end of the program with viewers attached: they are told, the program is gone.
step close Orbiscope.Remote
step gone Orbiscope.Remote 10000
expect "$stalled" '^the program ended the trace' 10 "end of the trace in the stalled viewer"

# A program that made the pipe's name first: the program does not serve the trace
# there, says so in its log, and runs on.
if [ -n "$tracelog" ]; then
    squatted="$WINE_ENV_DIR/trace-squatter.txt"
    wine "$probe" trace-squat 30000 >"$squatted" 2>>"$log" &
    started+=($!)
    expect "$squatted" '^ok holding' 10 "squatter holding the pipe's name"
    wine "$exe" /trace >>"$log" 2>&1 &
    started+=($!)
    step wait Orbiscope.Remote 15000
    expect "$tracelog" 'another program holds the name of the trace.s pipe' 10 \
        "the taken name told in the log"
    step close Orbiscope.Remote
    step gone Orbiscope.Remote 10000
fi

# A log folder that cannot be made (a file holds its name): the log stays off (with a
# balloon), the program runs on and the presses arrive.
if [ -n "$tracelog" ]; then
    localdir=${tracelog%/Orbiscope/Remote/trace.log}
    rm -rf "$localdir/Orbiscope"
    : >"$localdir/Orbiscope"
    wine "$exe" /trace >>"$log" 2>&1 &
    started+=($!)
    step wait Orbiscope.Remote 15000
    run "$sender" --virtual Digit3 Digit3 >>"$log"
    step text Notepad Edit "be" 5000
    step wait Orbiscope.Remote 1000
    [ -f "$localdir/Orbiscope" ] || fail "the log folder was made after all"
    rm -f "$localdir/Orbiscope"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures step(s) failed; output:"
    tail -n 30 "$log"
    echo "--- reading viewer"; tail -n 5 "$reading"
    echo "--- stalled viewer"; head -n 5 "$stalled"; tail -n 5 "$stalled"
    exit 1
fi
echo "all steps passed"
