#!/usr/bin/env bash
# Profile files end to end, on the installed program with its log on. A window of a
# program no row knows (orbtestplayer.exe) is in front: a profile file written into the
# user's folder while the program runs changes what Play sends, and editing it changes
# it again, without a restart. A broken file beside it leaves it working and is told in
# the log once, however often the folder is read again. "/exportprofile 80" (while the
# program runs) writes vlc.toml into the user's folder; loaded alone, it decides the
# presses in row 80's program (vlc.exe), which send what the built-in row sent. Without
# the program running, the export of an unknown program fails with exit code 1 and
# writes nothing, and the export of a program whose file in force is the user's own
# names that file instead of copying it.
set -u
exe="$PROGRAM_DIR/OrbiscopeRemote.exe"
sender="$BUILD_DIR/orbsend.exe"
probe="$BUILD_DIR/tests/window_probe.exe"
target="$BUILD_DIR/tests/key_target.exe"
for f in "$exe" "$sender" "$probe" "$target"; do [ -f "$f" ] || { echo "missing $f"; exit 1; }; done
log="$WINE_ENV_DIR/e2e-profiles.log"
keys="$WINE_ENV_DIR/e2e-profiles-keys.txt"
apps="$WINE_ENV_DIR/e2e-profiles-apps"
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-e2e-profiles'
run() { wine "$@" 2>>"$log"; }
started=()
. "$(dirname "$0")/lib/checks.sh"
step() { run "$probe" "$@" || fail "step failed: $*"; }

. "$(dirname "$0")/lib/user_session.sh"
user_folders

cleanup() {
    run "$probe" close OrbiscopeKeyTarget >/dev/null || true
    run "$probe" close '#32770' >/dev/null || true
    run "$probe" close Orbiscope.Remote >/dev/null || true
    run "$probe" gone Orbiscope.Remote 5000 >/dev/null || true
    end_started
    rm -f "$profiles"/*.toml
}
trap cleanup EXIT

# The key window as the program NAME, in front, writing what it receives into $keys.
start_target() {
    run "$probe" close OrbiscopeKeyTarget >/dev/null
    run "$probe" gone OrbiscopeKeyTarget 5000 >/dev/null
    mkdir -p "$apps"
    cp "$target" "$apps/$1"
    : >"$keys"
    wine "$apps/$1" "$(winepath -w "$keys")" "$1 window" >>"$log" 2>&1 &
    started+=($!)
    step wait OrbiscopeKeyTarget 15000
}
lines() { wc -l <"$keys"; }
# Presses $1 and prints what the window received for it (its lines), "" after 5 s.
press() {
    local before got=""
    before=$(lines)
    run "$sender" --virtual "$1" >>"$log"
    for _ in $(seq 1 50); do
        got=$(tail -n +$((before + 1)) "$keys" | tr -d '\r')
        [ -n "$got" ] && { sleep 0.3; break; }
        sleep 0.1
    done
    tail -n +$((before + 1)) "$keys" | tr -d '\r' | paste -sd ';'
}
# Presses $1 until it sends $2: a file written or edited is read again within a second,
# so a few presses (bounded generously) see it.
press_until() {
    local got=""
    for _ in $(seq 1 20); do
        got=$(press "$1")
        [ "$got" = "$2" ] && { ok "$3 ($1 sends $got)"; return 0; }
        sleep 0.5
    done
    fail "$3: $1 sends '$got', not '$2'"
}

wine reg delete 'HKCU\Software\OrbiScope' /f >/dev/null 2>&1 || true
rm -f "$tracelog" "$profiles"/*.toml
wine "$exe" /trace >>"$log" 2>&1 &
started+=($!)
step wait Orbiscope.Remote 15000
for _ in $(seq 1 100); do [ -d "$profiles" ] && break; sleep 0.1; done
[ -d "$profiles" ] && ok "the user's Profiles folder made" || fail "no folder $profiles"

echo "== row 80 as built in"
buttons=(Play Next Stop FastForward)
declare -A builtin
start_target vlc.exe
for b in "${buttons[@]}"; do
    builtin[$b]=$(press "$b")
    [ -n "${builtin[$b]}" ] || fail "$b sent nothing to vlc.exe"
done
echo "row 80 sends: $(for b in "${buttons[@]}"; do printf '%s=%s ' "$b" "${builtin[$b]}"; done)"

echo "== a file written and edited while the program runs"
write_player() {
    printf '# a test player\n[program]\nname = "Test player"\nmatch = { process = "orbtestplayer.exe" }\n\n[buttons]\nPlay = "%s"\n' \
        "$1" >"$profiles/orbtestplayer.toml.part"
    mv "$profiles/orbtestplayer.toml.part" "$profiles/orbtestplayer.toml"
}
# The file first: without it the program in front is one no row knows.
write_player "Ctrl+P"
start_target orbtestplayer.exe
press_until Play "key 0x50 ctrl" "the new file in force"
write_player "F5"
press_until Play "key 0x74" "the edited file in force"

echo "== a broken file beside it"
printf '[program\nname = "Broken"\n' >"$profiles/broken.toml"
write_player "F6"
press_until Play "key 0x75" "the other file still read"
write_player "F7"
press_until Play "key 0x76" "and read again"
told=$(tr -d '\r' <"$tracelog" 2>/dev/null | grep -c 'user profile broken\.toml')
[ "$told" = 1 ] && ok "the broken file told once in the log" ||
    fail "the broken file told $told times in $tracelog"
grep -q 'user profile orbtestplayer\.toml:7' <(tr -d '\r' <"$tracelog") &&
    ok "the trace names the file and line" || fail "no 'user profile orbtestplayer.toml:7' in the trace"
rm -f "$profiles/orbtestplayer.toml" "$profiles/broken.toml"

# Runs "/exportprofile $1", answers its message box and leaves its exit code in $rc.
export_profile() {
    wine "$exe" /exportprofile "$1" >>"$log" 2>&1 &
    local exporter=$!
    started+=($exporter)
    step wait '#32770' 15000
    step close '#32770'
    for _ in $(seq 1 100); do kill -0 "$exporter" 2>/dev/null || break; sleep 0.1; done
    wait "$exporter" 2>/dev/null
    rc=$?
}

echo "== /exportprofile 80"
export_profile 80
[ "$rc" = 0 ] && ok "the export ended with 0" || fail "the export ended with $rc"
step wait Orbiscope.Remote 1000
if [ -f "$profiles/vlc.toml" ] && grep -q '^Play = ' "$profiles/vlc.toml"; then
    ok "vlc.toml written: $(grep -c ' = ' "$profiles/vlc.toml") lines with a value"
else
    fail "no vlc.toml with Play in $profiles: $(ls "$profiles")"
fi
[ "$(ls "$profiles")" = "vlc.toml" ] || fail "the user's folder holds more than the export: $(ls "$profiles")"

echo "== the exported file alone decides row 80's program"
start_target vlc.exe
for _ in $(seq 1 20); do
    press Play >/dev/null
    tr -d '\r' <"$tracelog" | tail -n 1 | grep -q 'Play variant.*user profile vlc\.toml' && break
    sleep 0.5
done
tr -d '\r' <"$tracelog" | tail -n 1 | grep -q 'user profile vlc\.toml' &&
    ok "Play decided by vlc.toml" || fail "Play not decided by vlc.toml: $(tail -n 1 "$tracelog")"
for b in "${buttons[@]}"; do
    got=$(press "$b")
    [ "$got" = "${builtin[$b]}" ] && ok "$b sends $got as before" ||
        fail "$b sends '$got' with the file, '${builtin[$b]}' without"
done

echo "== /exportprofile without the program running"
step close Orbiscope.Remote
step gone Orbiscope.Remote 10000
export_profile nosuch.exe
[ "$rc" = 1 ] && ok "an unknown program: exit code 1" || fail "an unknown program: exit code $rc"
export_profile vlc.exe
[ "$rc" = 0 ] && ok "the file in force named: exit code 0" || fail "the file in force: exit code $rc"
[ "$(ls "$profiles")" = "vlc.toml" ] && ok "nothing more written" ||
    fail "the user's folder holds: $(ls "$profiles")"
run "$probe" gone Orbiscope.Remote 100 >/dev/null || fail "the export started the program"

if [ "$failures" -ne 0 ]; then
    echo "$failures step(s) failed; output:"
    tail -n 30 "$log"
    echo "--- trace"; tail -n 20 "$tracelog" 2>/dev/null
    exit 1
fi
echo "all steps passed"
