#!/usr/bin/env bash
# The shipped programs as a Windows loader sees them: the x86_64 program of 64-bit
# Windows and the 32-bit program of 32-bit Windows, each a GUI program for Windows 7 and
# later, with no debug sections, importing only system libraries present on Windows 7
# and no function that arrived after it (those are looked up at run time instead).
set -u
native=${1:?usage: $0 BUILD_DIR}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

check() {  # EXE OBJDUMP FILE_KIND
    local exe=$1 dump=$2 kind=$3
    [ -f "$exe" ] || { fail "no release program at $exe (build the win32 and win64 presets)"; return; }
    file -b "$exe" | grep -q "^$kind" || fail "$exe is not a $kind: $(file -b "$exe")"
    headers=$("$dump" -p "$exe")
    sections=$("$dump" -h "$exe" | awk '$2 ~ /^\./ {print $2}')
    grep -q '^\.debug' <<<"$sections" && fail "debug sections: $(grep '^\.debug' <<<"$sections" | tr '\n' ' ')"
    for field in MajorSubsystemVersion:6 MinorSubsystemVersion:1 MajorOSystemVersion:6 MinorOSystemVersion:1; do
        name=${field%%:*}
        want=${field##*:}
        got=$(awk -v n="$name" '$1 == n {print $2}' <<<"$headers")
        [ "$got" = "$want" ] || fail "$name is $got, not $want (Windows 7)"
    done

    imports=$(sed -n '/The Import Tables/,/^The Export\|^PE File Base Relocations/p' <<<"$headers" |
              awk '/DLL Name:/ {dll = toupper($3); next} dll != "" && NF >= 3 && $1 ~ /^[0-9a-f]+$/ {print dll, $NF}')
    [ -n "$imports" ] || fail "no imports read"
    allowed="KERNEL32.DLL USER32.DLL GDI32.DLL ADVAPI32.DLL SHELL32.DLL COMCTL32.DLL COMDLG32.DLL SETUPAPI.DLL WINMM.DLL WS2_32.DLL MSVCRT.DLL OLE32.DLL OLEAUT32.DLL"
    for dll in $(awk '{print $1}' <<<"$imports" | sort -u); do
        grep -qw "$dll" <<<"$allowed" || fail "imports from $dll"
    done
    for late in GetSystemTimePreciseAsFileTime GetDpiForWindow GetDpiForSystem SetProcessDpiAwarenessContext \
                SetThreadDpiAwarenessContext AdjustWindowRectExForDpi GetSystemMetricsForDpi \
                EnableNonClientDpiScaling GetCurrentPackageId SetProcessDpiAwareness GetDpiForMonitor \
                CreateFile2 GetOverlappedResultEx; do
        grep -qw "$late" <<<"$imports" && fail "imports $late, which Windows 7 does not have"
    done
    echo "release program $exe: $(wc -l <<<"$imports") imports"
}

check "$native/../win64/OrbiscopeRemote.exe" x86_64-w64-mingw32-objdump 'PE32+ executable (GUI) x86-64'
check "$native/../win32/OrbiscopeRemote.exe" i686-w64-mingw32-objdump 'PE32 executable (GUI) Intel 80386'
[ "$failures" -eq 0 ] && echo "both release programs: all imports on Windows 7"
exit $(( failures != 0 ))
