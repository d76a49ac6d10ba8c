#!/usr/bin/env bash
# The product as a user gets it: the setup installs silently into a fresh prefix (the
# folder named in Greek and Japanese), starts the program
# through the desktop shell without its own administrator token, the program takes the
# setup's choices into its user's settings, waits for the
# receiver, runs the first-run steps when it connects (the introduction starts, the
# start-up values are reset), opens the installed help from the tray menu and from
# macro button 2; a second silent setup replaces the running copy and keeps the
# settings; the silent uninstall leaves nothing but the user's settings.
# The setup is the one of the pass: the x64 setup in a 64-bit prefix, the x86 setup in a
# 32-bit one; both install into Program Files.
. "$(dirname "$0")/lib/shell_lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib/setup_prefix.sh"
version=$(head -n 1 "$here/../../VERSION")

trap 'cleanup; end_prefix' EXIT
fresh_prefix install-prefix

pipe='\\.\pipe\orbiscope-installer-e2e'
export ORBISCOPE_VIRTUAL_RECEIVER="$pipe"
event="orbiscope-installer-e2e-unplug"
inst='C:\Ορμπισκόπιο\リモコン'
unix_inst="$prefix/drive_c/Ορμπισκόπιο/リモコン"
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Orbiscope Remote"
run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
user_run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'


# The uninstall entry is in the view of the program's own kind.
view() { if [ "$1" = "$uninst" ] && [ "$WINEARCH" = win64 ]; then echo /reg:64; else echo /reg:32; fi; }
# The data of one registry value in its view, "" when it is missing (exported as
# UTF-16, which keeps every script).
reg_value() {
    local out="$WINE_ENV_DIR/reg-value.reg" found
    rm -f "$out"
    wine reg query "$1" /v "$2" "$(view "$1")" >/dev/null 2>&1 || return 0
    wine reg export "$1" "$(winepath -w "$out")" "$(view "$1")" /y >/dev/null 2>&1 || return 0
    found=$(iconv -f UTF-16 -t UTF-8 "$out" | tr -d '\r' | grep -i "^\"$2\"=" | head -1)
    found=${found#*=}
    case "$found" in
        dword:*) printf '0x%x' "$((16#${found#dword:}))" ;;
        \"*) found=${found#\"}; found=${found%\"}; found=${found//\\\\/\\}; printf '%s' "${found//\\\"/\"}" ;;
        *) printf '%s' "$found" ;;
    esac
}
expect_value() {
    local got
    got=$(reg_value "$1" "$2")
    if [ "$got" = "$3" ]; then echo "ok $2=$got"; else fail "$1 $2 is '$got', expected '$3'"; fi
}
expect_no_value() {
    if wine reg query "$1" /v "$2" /reg:32 >/dev/null 2>&1; then fail "$1 $2 is still there"; else
        echo "ok no $2"; fi
}

echo "== silent setup into a fresh prefix"
# /D= is taken only unquoted and last: cmd hands it on as it is (wine would quote it).
wine reg add "$user" /v TraceLog /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine cmd /c "$(winepath -w "$setup")" /S "/D=$inst" >>"$log" 2>&1 || fail "the setup failed with $?"
for f in OrbiscopeRemote.exe orbmonitor.exe uninstall.exe Docs/Kestrune.chm Docs/intro.exe \
         Docs/index.html Docs/buttons.html Docs/program-155.html Docs/style.css; do
    [ -s "$unix_inst/$f" ] || fail "missing $f"
done
grep -q '<title>Orbiscope Remote Help</title>' "$unix_inst/Docs/index.html" || fail "index.html is no help start page"
# The shipped profiles: exactly the files of the release, in a folder that other users can
# no more change than the install folder (what a file there says, the program does).
if [ -d "$unix_inst/Profiles" ]; then echo "ok Profiles folder"; else fail "no Profiles folder"; fi
for f in "$here"/../../resources/profiles/*.toml; do
    [ -f "$f" ] || continue
    cmp -s "$f" "$unix_inst/Profiles/$(basename "$f")" || fail "Profiles/$(basename "$f") is not the shipped file"
done
if wine "$BUILD_DIR/setuphelper.exe" check "$inst\\Profiles\\new.toml" >>"$log" 2>&1; then
    echo "ok Profiles closed to other users"
else
    fail "other users could change $inst\\Profiles"
fi
for lnk in "Orbiscope Remote:OrbiscopeRemote.exe" "Orbiscope Remote Help:Kestrune.chm" \
           "Introduction to Orbiscope Remote:intro.exe" "Uninstall Orbiscope Remote:uninstall.exe"; do
    file="$menu/${lnk%%:*}.lnk"
    if [ -f "$file" ] && grep -qaF "${lnk#*:}" "$file"; then echo "ok shortcut ${lnk%%:*}"; else
        fail "no shortcut ${lnk%%:*} to ${lnk#*:}"; fi
done
expect_value "$machine" LastInstallDir "$inst"
# The choices wait machine-wide for the user who runs the program; setup writes no
# user's hive.
stamp=$(reg_value "$machine" InstallStamp)
[ -n "$stamp" ] && echo "ok InstallStamp=$stamp" || fail "no InstallStamp"
expect_value "$machine" CancelSlideshow 0x0
expect_value "$machine" CancelPlugInWindow 0x0
expect_value "$run" "Orbiscope Remote" "\"$inst\\OrbiscopeRemote.exe\""
expect_no_value "$user_run" "Orbiscope Remote"
expect_value "$uninst" DisplayName "Orbiscope Remote"
expect_value "$uninst" DisplayVersion "$version"
expect_value "$uninst" Publisher "Orbiscope"
expect_value "$uninst" DisplayIcon "\"$inst\\OrbiscopeRemote.exe\",0"
expect_value "$uninst" UninstallString "\"$inst\\uninstall.exe\""
expect_value "$uninst" QuietUninstallString "\"$inst\\uninstall.exe\" /S"
size=$(reg_value "$uninst" EstimatedSize)
[ $((size)) -gt 100 ] 2>/dev/null && echo "ok EstimatedSize=$size" || fail "EstimatedSize is '$size'"

echo "== the setup started the program through the desktop shell, unelevated"
step window 20000
# Its parent is the desktop shell, not the setup, and it holds the shell's token.
origin=$(d origin 5000 | tr -d "\r" | head -n 1)
case "$origin" in
    "origin parent=explorer.exe elevation="*) ;;
    *) fail "not started by the desktop shell: $origin" ;;
esac
elevation=${origin##*elevation=}
[ "${elevation% shell=*}" = "${elevation#* shell=}" ] && echo "ok $origin" ||
    fail "the program's token is not the shell's: $origin"
echo "== it took the setup's choices into its user's settings and waits for the receiver"
expect_value "$user" InstallStamp "$stamp"
step wait-window 1 15000
d receiver "$pipe" 30000 "$event" &
server=$!
step wait-window 0 20000
step dialog "Introduction to Orbiscope Remote" 20000
step query 1 10000
expect_value "$user" InstallJustRan 0x0
expect_value "$user" CancelSlideshow 0x0

echo "== a second introduction brings the first forward and ends"
wine "$inst\\Docs\\intro.exe" >>"$log" 2>&1 &
second=$!
expect_exit "$second" 20
step dialog "Introduction to Orbiscope Remote" 2000

echo "== Help in the tray menu, then macro button 2 with default settings"
step menu h 10000
# Wine's help viewer cannot read a help file below a folder outside the ANSI code page
# and ends at once: what counts is that the file was opened (a failure shows the
# error box) and, for the press, what the routing trace says it opened.
step no-dialog "Orbiscope Remote Error" 3000
step stop "$event"
wait "$server" 2>/dev/null || fail "the receiver server failed"
wine "$BUILD_DIR/orbsend.exe" --pipe "$pipe" MacroButton2 >>"$log" 2>&1 || fail "orbsend failed"
# The routing trace (on since before the setup) names what the press opened, path and all.
trace="$prefix/drive_c/users/${USER:-$(id -un)}/AppData/Local/Orbiscope/Remote/trace.log"
for _ in $(seq 1 50); do grep -q "MacroButton2" "$trace" 2>/dev/null && break; sleep 0.1; done
opened=$(grep "MacroButton2" "$trace" 2>/dev/null | grep -o "open [^|]*" | head -n 1 | sed 's/ *$//')
# The trace writes each backslash as two, so that none can pass for an escape.
[ "$opened" = "open ${inst//\\/\\\\}\\\\Docs\\\\Kestrune.chm" ] && echo "ok trace: $opened" ||
    fail "macro button 2 opened '$opened'"

echo "== setup over the running copy: closed, replaced, started again, settings kept"
wine reg add "$user" /v VolumeSensitivity /t REG_DWORD /d 77 /f >/dev/null 2>&1
before=$(d window 1000 | sed -n 's/.*hwnd=\([^ ]*\).*/\1/p')
wine cmd /c "$(winepath -w "$setup")" /S "/D=$inst" >>"$log" 2>&1 || fail "the second setup failed with $?"
after=""
for _ in $(seq 1 100); do
    after=$(d window 1000 2>/dev/null | sed -n 's/.*hwnd=\([^ ]*\).*/\1/p')
    [ -n "$after" ] && [ "$after" != "$before" ] && break
    sleep 0.2
done
if [ -n "$after" ] && [ "$after" != "$before" ]; then echo "ok a new copy runs ($before -> $after)"; else
    fail "no new copy of the program (before $before, after '$after')"; fi
step count 1 5000
expect_value "$user" VolumeSensitivity 0x4d

echo "== silent uninstall"
wine "$inst\\uninstall.exe" /S >>"$log" 2>&1 || fail "the uninstaller failed with $?"
# The uninstaller finishes from a copy of itself in the temporary folder.
for _ in $(seq 1 300); do
    [ -e "$unix_inst" ] || break
    sleep 0.1
done
step gone 10000
[ -e "$unix_inst" ] && fail "the installation folder is still there: $(ls -R "$unix_inst" | head -5)"
[ -e "$prefix/drive_c/Ορμπισκόπιο" ] && fail "the folder setup made above it is still there"
[ -e "$menu" ] && fail "the Start menu folder is still there"
expect_no_value "$run" "Orbiscope Remote"
expect_no_value "$machine" InstallStamp
expect_no_value "$machine" LastInstallDir
if wine reg query "$uninst" /reg:32 >/dev/null 2>&1 || wine reg query "$uninst" "$(view "$uninst")" >/dev/null 2>&1; then fail "the uninstall entry is still there"; else
    echo "ok no uninstall entry"; fi
expect_value "$user" VolumeSensitivity 0x4d
finish
