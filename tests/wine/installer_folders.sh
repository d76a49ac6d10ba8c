#!/usr/bin/env bash
# The setup's folders and refusals, in a prefix of its own: a folder with blanks and
# non-ASCII letters installs and uninstalls cleanly; the uninstall leaves the user's own
# files and a parent folder setup did not make, and with /REMOVESETTINGS takes the
# settings and trace logs; a new folder below C:\ is made with its protected list in the
# same call, and the uninstaller removes no folder an install log names beyond the
# installation's own; a folder other users could change (on the way, the folder itself or
# a file in it) or a link on the way is refused with the reason and left as it was; a
# folder that cannot be written (on a drive where nothing can be made) is refused with
# nothing left behind; a second setup started while one runs refuses.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib/setup_prefix.sh"
first=""
trap '[ -n "$first" ] && kill "$first" 2>/dev/null; end_prefix' EXIT
fresh_prefix folders-prefix
installed() { wine reg query "$uninst" /reg:32 >/dev/null 2>&1 || wine reg query "$uninst" /reg:64 >/dev/null 2>&1; }
# The setup takes /D= only unquoted and last, blanks and all: cmd hands it the words of
# the folder as they are (wine would quote an argument with blanks).
win_setup=$(winepath -w "$setup")
# Under a heavy load Wine's cmd now and then fails to start a program at all ("Application
# could not be started ... ShellExecuteEx failed"); setup never ran then, so it is
# started once more, and said so.
setup_into() {
    local out="$WINE_ENV_DIR/setup_into.out" rc try
    for try in 1 2; do
        wine cmd /c "$win_setup" /S /NOSTART "/D=$1" $2 >"$out" 2>&1
        rc=$?
        case "$(cat "$out")" in
        *"Application could not be started"*)
            [ "$try" = 1 ] && { echo "  (Wine did not start setup; starting it again)"; continue; } ;;
        esac
        break
    done
    cat "$out"
    return "$rc"
}

echo "== a folder with blanks and non-ASCII letters"
dir='C:\Programme für Fernbedienung\Orbiscope Remote'
unix_dir="$prefix/drive_c/Programme für Fernbedienung/Orbiscope Remote"
setup_into 'C:\Programme' 'für Fernbedienung\Orbiscope Remote' || fail "setup failed with $?"
for f in OrbiscopeRemote.exe Docs/Kestrune.chm Docs/intro.exe Docs/index.html uninstall.exe; do
    [ -s "$unix_dir/$f" ] || fail "missing $f"
done
got=$(wine reg query "$machine" /v LastInstallDir /reg:32 2>/dev/null | tr -d '\r' |
      iconv -f CP437 -t UTF-8 | sed -n 's/^ *LastInstallDir *REG_SZ *//p')
[ "$got" = "$dir" ] && ok "LastInstallDir=$got" || fail "LastInstallDir is '$got'"
wine "$dir\\uninstall.exe" /S || fail "uninstall failed with $?"
# The uninstaller finishes from a copy of itself, the folders it made last.
wineserver -w
[ -e "$prefix/drive_c/Programme für Fernbedienung" ] && fail "the folder is still there" || ok "removed"
installed && fail "still in the programs list" || ok "no uninstall entry"

echo "== a folder holding the user's own pages, below a folder setup did not make"
c="$prefix/drive_c"
mkdir -p "$c/Mine/Remote/Docs"
echo "my own start page" >"$c/Mine/Remote/Docs/index.html"
echo "my notes" >"$c/Mine/Remote/notes.txt"
setup_into 'C:\Mine\Remote' '' || fail "setup failed with $?"
[ "$(cat "$c/Mine/Remote/Docs/index.html")" = "my own start page" ] && ok "the user's page kept" ||
    fail "the user's index.html was replaced"
[ -s "$c/Mine/Remote/Docs/style.css" ] && [ -s "$c/Mine/Remote/OrbiscopeRemote.exe" ] && ok "ours installed beside it" ||
    fail "style.css or the program missing"
# The trace logs of a user who asks for the settings to go.
logs="$c/users/${USER:-$(id -un)}/AppData/Local/Orbiscope/Remote"
mkdir -p "$logs"
echo press >"$logs/trace.log"
echo press >"$logs/trace.old.log"
wine reg add 'HKCU\Software\OrbiScope\Orbiscope Remote\Settings' /v Macro1 /t REG_DWORD /d 3 /f >/dev/null 2>&1
wine 'C:\Mine\Remote\uninstall.exe' /S /REMOVESETTINGS || fail "uninstall failed with $?"
# The uninstaller finishes from a copy of itself: nothing else of this prefix runs.
wineserver -w
[ "$(cat "$c/Mine/Remote/Docs/index.html" 2>/dev/null)" = "my own start page" ] && [ -f "$c/Mine/Remote/notes.txt" ] &&
    ok "the user's files stay" || fail "the user's files went"
[ -e "$c/Mine/Remote/Docs/style.css" ] || [ -e "$c/Mine/Remote/OrbiscopeRemote.exe" ] ||
    [ -e "$c/Mine/Remote/OrbiscopeRemote-install.log" ] && fail "ours left behind: $(ls -R "$c/Mine/Remote")" || ok "ours removed"
[ -e "$logs/trace.log" ] || [ -e "$logs/trace.old.log" ] && fail "the trace logs are still there" || ok "trace logs removed"
wine reg query 'HKCU\Software\OrbiScope\Orbiscope Remote\Settings' >/dev/null 2>&1 && fail "the settings are still there" ||
    ok "settings removed"

echo "== an update over an earlier installation that kept no log"
mkdir -p "$c/Old/Remote/Docs"
for f in OrbiscopeRemote.exe uninstall.exe Docs/index.html; do echo "earlier" >"$c/Old/Remote/$f"; done
setup_into 'C:\Old\Remote' '' || fail "setup failed with $?"
grep -q '<title>Orbiscope Remote Help</title>' "$c/Old/Remote/Docs/index.html" && ok "the earlier page replaced" ||
    fail "the earlier installation's page was kept as the user's"
wine 'C:\Old\Remote\uninstall.exe' /S || fail "uninstall failed with $?"
wineserver -w
[ -e "$c/Old/Remote" ] && fail "the installation is still there: $(ls -R "$c/Old/Remote" | head -5)" ||
    ok "the installation is gone"
[ -d "$c/Old" ] && ok "its parent stays" || fail "the parent went"

echo "== an empty parent folder setup did not make stays"
mkdir -p "$c/Empty"
setup_into 'C:\Empty\Remote' '' || fail "setup failed with $?"
wine 'C:\Empty\Remote\uninstall.exe' /S || fail "uninstall failed with $?"
for _ in $(seq 1 300); do [ -e "$c/Empty/Remote" ] || break; sleep 0.1; done
[ -e "$c/Empty/Remote" ] && fail "the folder setup made is still there" || ok "the folder setup made is gone"
[ -d "$c/Empty" ] && ok "the parent stays" || fail "the parent setup did not make went"

echo "== a folder other users could change"
mkdir -p "$c/Shared"
chmod 777 "$c/Shared"
setup_into 'C:\Shared\Remote' ''
rc=$?
[ "$rc" -eq 5 ] && ok "refused with exit code 5" || fail "setup answered $rc, expected 5"
[ -e "$c/Shared/Remote" ] && fail "it installed" || ok "nothing installed"

echo "== a new folder below C:\\, made protected in the same call"
# Wine keeps a folder's list as its Unix mode, and only from the call that makes it: a
# list set afterwards (as setup once did) leaves the mode as the folder was made, open
# to everyone else for reading at least. Made with the list, nobody else has any right.
setup_into 'C:\Fresh\Remote' '' || fail "setup failed with $?"
for d in Fresh Fresh/Remote Fresh/Remote/Docs; do
    mode=$(stat -c %A "$c/$d")
    [ "${mode:7:3}" = "---" ] && ok "C:\\${d//\//\\} made with the protected list ($mode)" ||
        fail "C:\\${d//\//\\} was made open ($mode): its list came after it"
done
log="$c/Fresh/Remote/OrbiscopeRemote-install.log"
folders=$(iconv -f UTF-16LE -t UTF-8 "$log" | tr -d '\r\357\273\277' | grep '^folder|' | tr '\n' ' ')
[ "$folders" = 'folder|C:\Fresh folder|C:\Fresh\Remote folder|C:\Fresh\Remote\Docs folder|C:\Fresh\Remote\Profiles ' ] &&
    ok "the log lists the folders setup made" || fail "the log lists: $folders"

echo "== an install log that names other folders"
mkdir -p "$c/Victim" "$c/Fresh2"
printf 'folder|C:\\Victim\r\nfolder|C:\\Fresh\\Remote\\..\\..\\Fresh2\r\nfolder|C:\\Fresh\\Remote\\Docs\\..\\..\\..\\Fresh2\r\n' |
    iconv -f UTF-8 -t UTF-16LE >>"$log"
wine 'C:\Fresh\Remote\uninstall.exe' /S || fail "uninstall failed with $?"
wineserver -w
[ -d "$c/Victim" ] && [ -d "$c/Fresh2" ] && ok "the folders the log should not name stay" ||
    fail "the uninstaller removed a folder setup did not make"
[ -e "$c/Fresh" ] && fail "the installation is still there: $(ls -R "$c/Fresh" | head -5)" ||
    ok "the folders setup made are gone"

echo "== an existing folder other users could change, or a link on the way"
mkdir -p "$c/OpenTarget"
chmod 777 "$c/OpenTarget"
setup_into 'C:\OpenTarget' ''
rc=$?
[ "$rc" -eq 5 ] && ok "refused with exit code 5" || fail "setup answered $rc, expected 5"
[ -e "$c/OpenTarget/OrbiscopeRemote.exe" ] && fail "it installed" || ok "nothing installed"
[ "$(stat -c %a "$c/OpenTarget")" = 777 ] && ok "the folder is left as it was, not repaired" ||
    fail "the folder was changed to $(stat -c %a "$c/OpenTarget")"
# A file others can change in a folder that is otherwise closed, as one dropped there
# before an earlier setup closed it.
mkdir -p "$c/Planted/Remote"
echo planted >"$c/Planted/Remote/winmm.dll"
chmod 666 "$c/Planted/Remote/winmm.dll"
setup_into 'C:\Planted\Remote' ''
rc=$?
[ "$rc" -eq 5 ] && ok "a folder holding a file others can change refused with exit code 5" ||
    fail "setup answered $rc, expected 5"
[ -e "$c/Planted/Remote/OrbiscopeRemote.exe" ] && fail "it installed beside the file" || ok "nothing installed"
mkdir -p "$c/Elsewhere"
ln -s Elsewhere "$c/Linked"
setup_into 'C:\Linked\Remote' ''
rc=$?
[ "$rc" -eq 5 ] && ok "a link on the way refused with exit code 5" || fail "setup answered $rc, expected 5"
[ -e "$c/Elsewhere/Remote" ] && fail "it installed through the link" || ok "nothing installed"
# The reason setup shows, as the helper gives it.
report="$c/report.txt"
why() {
    rm -f "$report"
    wine "$BUILD_DIR/setuphelper.exe" check "$1" 'C:\report.txt'
    echo "rc=$? $(iconv -f UTF-16LE -t UTF-8 "$report" 2>/dev/null | tr -d '\r\357\273\277')"
}
said=$(why 'C:\OpenTarget')
[ "$said" = 'rc=5 why|Everyone can change C:\OpenTarget or what is in it.' ] && ok "the reason: $said" ||
    fail "the helper said: $said"
said=$(why 'C:\Planted\Remote')
[ "$said" = 'rc=5 why|Everyone can change C:\Planted\Remote\winmm.dll.' ] && ok "the reason: $said" ||
    fail "the helper said: $said"
said=$(why 'C:\Linked\Remote')
case "$said" in 'rc=5 why|C:\Linked is a link to another place'*) ok "the reason: $said" ;;
    *) fail "the helper said: $said" ;; esac

echo "== a folder that cannot be written"
# A drive where nothing can be made, as a read-only share or disc would be.
ln -s /sys "$prefix/dosdevices/r:"
setup_into 'R:\Orbiscope' 'Remote'
rc=$?
[ "$rc" -eq 2 ] && ok "refused with exit code 2" || fail "setup answered $rc, expected 2"
left=$(find "$prefix/drive_c" -iname '*orbiscope*' | head -3)
[ -z "$left" ] && ok "nothing installed" || fail "left behind: $left"
installed && fail "an uninstall entry was written" || ok "no uninstall entry"
wine reg query "$machine" /v LastInstallDir /reg:32 >/dev/null 2>&1 && fail "LastInstallDir was written" ||
    ok "no LastInstallDir"

echo "== a second setup while one runs"
wine "$setup" >/dev/null 2>&1 &
first=$!
# The first setup is up once it holds its window; until then a second one could win.
for _ in $(seq 1 200); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Orbiscope Remote Setup"' && break
    sleep 0.1
done
timeout 60 wine "$setup" /S /NOSTART '/D=C:\Second'
rc=$?
[ "$rc" -eq 3 ] && ok "the second setup refused with exit code 3" || fail "the second setup answered $rc, expected 3"
[ -e "$prefix/drive_c/Second" ] && fail "the second setup installed" || ok "nothing installed by it"
kill "$first" 2>/dev/null
first=""

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
