#!/usr/bin/env bash
# 64-bit Windows with the 32-bit program of an earlier setup: the x64 setup leaves one
# installation, the x86_64 program in the 64-bit Program Files, with the autostart, the
# shortcuts and the only uninstall entry pointing at it; the user's settings stay. An
# earlier installation in a folder of the user's own choosing is replaced in place; one
# in a folder others could change is left as it is.
set -u
. "$(dirname "$0")/lib/setup_prefix.sh"
[ "$WINEARCH" = win64 ] || { echo "the upgrade is the 64-bit setup's"; exit 1; }
trap end_prefix EXIT
fresh_prefix upgrade-prefix
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
machine_run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Orbiscope Remote"
value() {  # KEY NAME VIEW: the data, "" when missing
    wine reg query "$1" /v "$2" "$3" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
expect() {  # KEY NAME VIEW WANT
    local got
    got=$(value "$1" "$2" "$3")
    [ "$got" = "$4" ] && ok "$2=$got ($3)" || fail "$1 $2 ($3) is '$got', expected '$4'"
}

# What the earlier 32-bit setup left: its files, its values in the 32-bit view, the
# autostart and the user's settings.
plant_x86() {  # WINDOWS_DIR UNIX_DIR
    mkdir -p "$2/Docs"
    for f in OrbiscopeRemote.exe orbmonitor.exe uninstall.exe Docs/Kestrune.chm Docs/intro.exe Docs/index.html; do
        echo "earlier x86 file" >"$2/$f"
    done
    plant_value "$machine" LastInstallDir REG_SZ "$1" /reg:32
    plant_value "$uninst" UninstallString REG_SZ "\"$1\\uninstall.exe\"" /reg:32
    plant_value "$uninst" InstallLocation REG_SZ "$1" /reg:32
    plant_value "$run" "Orbiscope Remote" REG_SZ "\"$1\\OrbiscopeRemote.exe\"" /reg:64
    plant_value "$user" VolumeSensitivity REG_DWORD 77 /reg:32
}
# A value the earlier setup left, read back before setup runs: a `reg add` that Wine
# dropped would otherwise turn into a wrong verdict on the setup.
plant_value() {  # KEY NAME TYPE DATA VIEW
    local try want="$4"
    [ "$3" = REG_DWORD ] && want=$(printf '0x%x' "$4")
    for try in 1 2 3; do
        wine reg add "$1" /v "$2" /t "$3" /d "$4" "$5" /f >/dev/null 2>&1
        [ "$(value "$1" "$2" "$5")" = "$want" ] && return
        wineserver -w
    done
    echo "could not leave $1 $2 ($5) as the earlier setup did"
    exit 1
}
check_one_installation() {  # WINDOWS_DIR UNIX_DIR
    file -b "$2/OrbiscopeRemote.exe" | grep -q '^PE32+ executable' && ok "the x86_64 program is in $1" ||
        fail "no x86_64 program in $1: $(file -b "$2/OrbiscopeRemote.exe" 2>&1)"
    expect "$machine" LastInstallDir /reg:32 "$1"
    expect "$uninst" UninstallString /reg:64 "\"$1\\uninstall.exe\""
    wine reg query "$uninst" /reg:32 >/dev/null 2>&1 && fail "an uninstall entry is left in the 32-bit view" ||
        ok "one uninstall entry"
    expect "$machine_run" "Orbiscope Remote" /reg:32 "\"$1\\OrbiscopeRemote.exe\""
    [ -z "$(value "$run" "Orbiscope Remote" /reg:32)" ] && ok "no per-user autostart left" ||
        fail "the earlier per-user autostart is still there"
    grep -qaF "OrbiscopeRemote.exe" "$menu/Orbiscope Remote.lnk" 2>/dev/null &&
        grep -qaF "$(basename "$1")" "$menu/Orbiscope Remote.lnk" && ok "the shortcut" || fail "no shortcut to the new program"
    expect "$user" VolumeSensitivity /reg:32 0x4d  # the settings stay
}

echo "== over the 32-bit program in the 32-bit Program Files"
old='C:\Program Files (x86)\Orbiscope\Remote'
unix_old="$prefix/drive_c/Program Files (x86)/Orbiscope/Remote"
plant_x86 "$old" "$unix_old"
wine "$setup" /S /NOSTART >/dev/null 2>&1 || fail "setup failed with $?"
check_one_installation 'C:\Program Files\Orbiscope\Remote' "$prefix/drive_c/Program Files/Orbiscope/Remote"
[ -e "$unix_old" ] && fail "the earlier folder is still there: $(ls "$unix_old")" || ok "the earlier folder is gone"

echo "== over the 32-bit program in a folder of the user's choosing"
wine 'C:\Program Files\Orbiscope\Remote\uninstall.exe' /S >/dev/null 2>&1 || fail "uninstall failed with $?"
wineserver -w  # the uninstaller finishes from a copy of itself
own='C:\Tools\Remote'
unix_own="$prefix/drive_c/Tools/Remote"
plant_x86 "$own" "$unix_own"
wine "$setup" /S /NOSTART >/dev/null 2>&1 || fail "setup failed with $?"
check_one_installation "$own" "$unix_own"
[ -e "$prefix/drive_c/Program Files/Orbiscope/Remote" ] && fail "a second installation in Program Files" ||
    ok "no second installation"

echo "== over the 32-bit program in a folder others could change"
# Checked before it is touched: deleting there with administrator rights could be
# pointed elsewhere, so its files stay, and only its entry goes.
wine "$own\\uninstall.exe" /S >/dev/null 2>&1 || fail "uninstall failed with $?"
wineserver -w
plant_x86 "$old" "$unix_old"
chmod 777 "$unix_old"
wine "$setup" /S /NOSTART >/dev/null 2>&1 || fail "setup failed with $?"
check_one_installation 'C:\Program Files\Orbiscope\Remote' "$prefix/drive_c/Program Files/Orbiscope/Remote"
[ "$(cat "$unix_old/OrbiscopeRemote.exe" 2>/dev/null)" = "earlier x86 file" ] &&
    [ "$(cat "$unix_old/Docs/intro.exe" 2>/dev/null)" = "earlier x86 file" ] &&
    ok "the earlier folder is left as it was" || fail "setup deleted in a folder others could change"

x86_setup="$(dirname "$setup")/OrbiscopeRemote-Setup-x86.exe"
# The x86 setup starts only where 32-bit Wine is there to run it.
if "$(dirname "$0")/../../scripts/probe/runs-i386" &&
   dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
    echo "== the x86 setup on 64-bit Windows"
    wine "$x86_setup" /S /NOSTART '/D=C:\X86' >/dev/null 2>&1
    rc=$?
    [ "$rc" -eq 6 ] && ok "refused with exit code 6" || fail "the x86 setup answered $rc, expected 6"
    [ -e "$prefix/drive_c/X86" ] && fail "it installed" || ok "nothing installed"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
