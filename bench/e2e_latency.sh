#!/usr/bin/env bash
# End-to-end latency of a press under Wine: from the moment the sender has written a
# frame into the virtual receiver's pipe to the moment the program in front receives
# the key or command it leads to. Three programs in front, taken by catalogue rows 1
# (a cooperating window), 80 (vlc.exe) and 150 (wmplayer.exe); prints min, median, p95
# and p99 for each. A benchmark: it prints, it asserts nothing.
#   bench/e2e_latency.sh [PRESSES]     (default 100 presses per row, 300 ms apart)
# The program is the x86_64 one, installed with its setup as a user of 64-bit Windows
# gets it. Needs the builds and the setups: scripts/build.
set -u
cd "$(dirname "$0")/.."
root=$PWD
presses=${1:-100}
tier=scripts/wine-tier
dir=$root/build/bench-wine
helpers=$root/build/win64/tests
$tier setup "$dir" "$root/build/win64/orbsend.exe" "$root/build/OrbiscopeRemote-Setup-x64.exe" win64 >/dev/null ||
    exit 1
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
DISPLAY=$(cat "$dir/display")
export DISPLAY
program_dir=$(cat "$dir/program_dir")
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-latency'
probe="$helpers/window_probe.exe"
work="$dir/latency"
rm -rf "$work"
mkdir -p "$work"
pids=()
finish() {
    wine "$probe" close OrbiscopeLatencyTarget >/dev/null 2>&1
    wine "$probe" close Orbiscope.Remote >/dev/null 2>&1
    wine "$probe" gone Orbiscope.Remote 5000 >/dev/null 2>&1
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    $tier cleanup "$dir" >/dev/null
}
trap finish EXIT

wine reg delete 'HKCU\Software\OrbiScope' /f >/dev/null 2>&1
# No warnings and no automatic switch: the press goes straight to the window in front.
wine reg add 'HKCU\Software\OrbiScope\Orbiscope Remote\Settings' /v ShowUnsupportedDlg /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine "$program_dir/OrbiscopeRemote.exe" >"$work/program.log" 2>&1 &
pids+=($!)
wine "$probe" wait Orbiscope.Remote 20000 >/dev/null || { echo "the program did not start"; exit 1; }
echo "program: $program_dir/OrbiscopeRemote.exe, $presses presses per row"

words=()
for _ in $(seq 1 "$presses"); do words+=(Play pause=300ms); done

for row in "1 coop.exe Orbiscope#03 Latency" "80 vlc.exe VLC media player" "150 wmplayer.exe Windows Media Player"; do
    read -r number exe title <<<"$row"
    cp "$helpers/latency_target.exe" "$work/$exe"
    wine "$work/$exe" "$(winepath -w "$work/target-$number.log")" "$title" >/dev/null 2>&1 &
    pids+=($!)
    wine "$probe" wait OrbiscopeLatencyTarget 10000 >/dev/null || { echo "row $number: no target"; continue; }
    sleep 1
    wine "$root/build/win64/orbsend.exe" --virtual --times "$(winepath -w "$work/sent-$number.txt")" \
        "${words[@]}" >/dev/null 2>"$work/sender-$number.log"
    sleep 1
    wine "$probe" close OrbiscopeLatencyTarget >/dev/null 2>&1
    wine "$probe" gone OrbiscopeLatencyTarget 5000 >/dev/null 2>&1
    python3 - "$number" "$exe" "$work/sent-$number.txt" "$work/target-$number.log" <<'PY'
import sys
row, exe, sent_path, got_path = sys.argv[1:5]
sent = [int(l) for l in open(sent_path) if l.strip()]
got = sorted(int(l.split()[0]) for l in open(got_path) if l.strip())
lat, j = [], 0
for i, t in enumerate(sent):
    nxt = sent[i + 1] if i + 1 < len(sent) else float("inf")
    while j < len(got) and got[j] < t:
        j += 1
    if j < len(got) and got[j] < nxt:
        lat.append((got[j] - t) / 1000.0)
if not lat:
    print(f"row {row:>3} {exe:<13} no press arrived")
    sys.exit(0)
lat.sort()
pick = lambda q: lat[min(len(lat) - 1, int(q * len(lat)))]
print(f"row {row:>3} {exe:<13} {len(lat)}/{len(sent)} arrived  min {lat[0]:.1f} ms  "
      f"median {pick(0.5):.1f} ms  p95 {pick(0.95):.1f} ms  p99 {pick(0.99):.1f} ms")
PY
done
