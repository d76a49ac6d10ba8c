#!/usr/bin/env bash
# The compiled help read back by an independent reader (chmlib's extract_chmLib): every
# page of the help project is in it, the supported-programs page lists every catalogue
# row and every shipped profile file with a page of its own, and the pages the program
# and the setup name are there.
set -u
stage="$(dirname "$BUILD_DIR")/package"
chm="$stage/help/Kestrune.chm"
project="$stage/help/Kestrune.hhp"
[ -f "$chm" ] && [ -f "$project" ] || { echo "missing $chm (scripts/package builds it)"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
extract_chmLib "$chm" "$out" >/dev/null || { echo "FAIL: extract_chmLib cannot read $chm"; exit 1; }
. "$(dirname "$0")/lib/checks.sh"

missing=0
while read -r f; do
    [ -n "$f" ] || continue
    [ -s "$out/$f" ] || { fail "not in the help: $f"; missing=$((missing + 1)); }
done < <(sed -n '/^\[FILES\]/,$p' "$project" | tail -n +2 | tr -d '\r')
[ "$missing" -eq 0 ] && echo "ok every file of the project is in the help"

rows=$(grep -c 'class="program"' "$out/programs.html")
pages=$(find "$out" -maxdepth 1 -name 'program-[0-9][0-9][0-9].html' | wc -l)
[ "$rows" -eq 155 ] && echo "ok 155 rows listed" || fail "$rows rows listed, expected 155"
[ "$pages" -eq 155 ] && echo "ok 155 row pages" || fail "$pages row pages, expected 155"
# Each row page says how its program is recognised and what the buttons send.
for n in 001 078 125 148 155; do
    grep -q 'How it is recognised' "$out/program-$n.html" && grep -q '<table class="actions">' "$out/program-$n.html" ||
        fail "program-$n.html lacks its rule or its button table"
done
grep -q 'notepad.exe' "$out/program-125.html" || fail "row 125 does not name notepad.exe"
files=$(find "$(dirname "$0")/../../resources/profiles" -maxdepth 1 -name '*.toml' | wc -l)
rows=$(grep -c 'class="shipped"' "$out/programs.html")
pages=$(find "$out" -maxdepth 1 -name 'shipped-*.html' | wc -l)
[ "$rows" -eq "$files" ] && [ "$pages" -eq "$files" ] && echo "ok $files shipped profile files listed, each with its page" ||
    fail "$rows shipped files listed and $pages pages, expected $files"
grep -q 'support.google.com/youtube' "$out/shipped-youtube.html" && grep -q '<kbd>K</kbd>' "$out/shipped-youtube.html" ||
    fail "shipped-youtube.html lacks its source or its keys"
for page in index.html buttons.html mouse-mode.html macros.html settings.html power.html \
            receiver.html tray.html receiver-not-found.html unsupported.html administrator.html \
            code-monitor.html; do
    [ -s "$out/$page" ] || fail "no $page"
done
[ -f "$out/#SYSTEM" ] && [ -s "$out/#TOPICS" ] || fail "no system or topics data"
if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
