#!/usr/bin/env bash
# The monitor, fed the sender's stream, names every button with the variant sent.
set -u
build=${1:?usage: $0 BUILD_DIR}
send="$build/orbsend"
monitor="$build/orbmonitor"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Every button, pressed once each with both first variants: new presses alternate.
names=$("$send" --list | awk '{print $2}')
[ "$(echo "$names" | wc -l)" -eq 42 ] || fail "--list does not list 42 buttons"
for first in 1 2; do
    # shellcheck disable=SC2086
    "$send" --fast --first-variant "$first" $names >"$work/stream" || fail "orbsend exited $?"
    "$monitor" "$work/stream" >"$work/out" || fail "orbmonitor exited $?"
    [ "$(wc -l <"$work/out")" -eq 42 ] || fail "expected 42 codes, got: $(cat "$work/out")"
    variant=$first
    i=1
    for name in $names; do
        line=$(sed -n "${i}p" "$work/out")
        case "$line" in
        *"-> $name variant $variant, new press: accepted") ;;
        *) fail "press $i ($name, variant $variant): $line" ;;
        esac
        variant=$((3 - variant))
        i=$((i + 1))
    done
done

# Standard input both ways; a held fast-repeat button at the remote's rhythm is
# accepted every third frame (more than 275 ms apart), a held Play only after 625 ms.
printf 'VolumeUp:hold=800ms Play:frames=8\n' | "$send" --fast | "$monitor" - >"$work/held"
got=$(sed -E 's/.*-> ([A-Za-z]+) variant ([12]), .*: ([a-z]+)$/\1 \2 \3/' "$work/held" | tr '\n' ',')
want="VolumeUp 1 accepted,VolumeUp 1 swallowed,VolumeUp 1 swallowed,VolumeUp 1 accepted,VolumeUp 1 swallowed,VolumeUp 1 swallowed,VolumeUp 1 accepted,VolumeUp 1 swallowed,"
want+="Play 2 accepted,Play 2 swallowed,Play 2 swallowed,Play 2 swallowed,Play 2 swallowed,Play 2 swallowed,Play 2 accepted,Play 2 swallowed,"
[ "$got" = "$want" ] || fail "held buttons: $got"

# Bytes that are no code: an unfinished code and a short one are reported as such.
printf '\x33\x3f\xff\x33\x33' | "$monitor" >"$work/junk"
grep -q -- '-> too short, dropped' "$work/junk" || fail "short code: $(cat "$work/junk")"
grep -q 'end of stream: 4 values' "$work/junk" || fail "unfinished code: $(cat "$work/junk")"

# Words the sender does not know are refused, and nothing is sent.
if "$send" --fast Play Nonsense >"$work/bad" 2>/dev/null; then fail "unknown button accepted"; fi
[ ! -s "$work/bad" ] || fail "bytes sent before the unknown button was refused"
"$send" --help | grep -q 'hold=600ms' || fail "--help does not explain holding"

[ "$failures" -eq 0 ] && echo "virtual receiver round trip: ok"
exit "$failures"
