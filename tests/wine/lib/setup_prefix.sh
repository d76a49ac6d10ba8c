# Sourced by the setup's scripts: a fresh Wine prefix of the pass's kind for one script,
# `fresh_prefix NAME` (in $WINE_ENV_DIR/NAME, whose wineserver `end_prefix` ends), and the
# setup of the pass in $setup.
setup=$SETUP_EXE
[ -f "$setup" ] || { echo "missing $setup (scripts/package builds it)"; exit 1; }

fresh_prefix() {
    prefix="$WINE_ENV_DIR/$1"
    rm -rf "$prefix"
    export WINEPREFIX="$prefix"
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    wineboot -i >"$WINE_ENV_DIR/$1.log" 2>&1 || { echo "no prefix"; exit 1; }
    wineserver -w
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}
end_prefix() { WINEPREFIX="$prefix" wineserver -k 2>/dev/null; }

# The keys the setup writes and reads.
machine='HKLM\Software\Orbiscope\Orbiscope Remote\Settings'
user='HKCU\Software\OrbiScope\Orbiscope Remote\Settings'
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orbiscope Remote'
. "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
