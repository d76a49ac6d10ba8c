#!/usr/bin/env bash
# A favourite that names a program in C:\Windows\System32 starts that program. The file
# is put in the System32 folder of the program's own kind alone (on 64-bit Windows not
# in SysWOW64), where a program of the other kind would not find it.
set -u
exe="$PROGRAM_DIR/OrbiscopeRemote.exe"
sender="$BUILD_DIR/orbsend.exe"
target="$BUILD_DIR/tests/shell_target.exe"
probe="$BUILD_DIR/tests/window_probe.exe"
for f in "$exe" "$sender" "$target" "$probe"; do [ -f "$f" ] || { echo "missing $f"; exit 1; }; done
log="$WINE_ENV_DIR/e2e-system32.log"
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-e2e-system32'
placed="$WINEPREFIX/drive_c/windows/system32/orbiscope-favourite-target.exe"
ran="$WINEPREFIX/drive_c/orbiscope-favourite-ran.txt"
key='HKCU\Software\OrbiScope\Orbiscope Remote\Settings'
started=()
cleanup() {
    wine "$probe" close Orbiscope.Remote >/dev/null 2>>"$log" || true
    wine "$probe" gone Orbiscope.Remote 5000 >/dev/null 2>>"$log" || true
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -f "$placed" "$ran"
}
trap cleanup EXIT

cp "$target" "$placed"
rm -f "$ran"
[ ! -e "${placed/system32/syswow64}" ] || { echo "the target is in SysWOW64 too"; exit 1; }
wine reg delete 'HKCU\Software\OrbiScope' /f >/dev/null 2>&1 || true
# Macro button 3 opens favourite 3 unless told otherwise.
wine reg add "$key" /v Favorite3 /t REG_SZ \
    /d 'C:\Windows\System32\orbiscope-favourite-target.exe C:\orbiscope-favourite-ran.txt from-system32' \
    /f >/dev/null 2>&1
wine "$exe" >>"$log" 2>&1 &
started+=($!)
wine "$probe" wait Orbiscope.Remote 15000 2>>"$log" || { echo "the program did not start"; exit 1; }
wine "$sender" --virtual MacroButton3 >>"$log" 2>&1
for _ in $(seq 1 100); do [ -s "$ran" ] && break; sleep 0.1; done
if [ "$(cat "$ran" 2>/dev/null)" = "from-system32" ]; then
    echo "ok favourite 3 started C:\\Windows\\System32\\orbiscope-favourite-target.exe"
    echo "all steps passed"
else
    echo "  favourite 3 did not start the System32 program; output:"
    tail -n 20 "$log"
    exit 1
fi
