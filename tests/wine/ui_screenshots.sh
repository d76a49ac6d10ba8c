#!/usr/bin/env bash
# Screenshots of the settings pages and the dialogs at 96, 144 and 192 DPI, taken in a
# Wine virtual desktop. Checks that each window comes up, and grows with the DPI as it
# should; with SCREENSHOT_DIR set, keeps the pictures there as WHICH.png (96 DPI) and
# WHICH-144.png, WHICH-192.png (docs/ holds the committed ones).
set -eu
exe="$BUILD_DIR/tests/ui_showcase.exe"
[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
. "$(dirname "$0")/lib/dpi_shots.sh"

status=0
declare -A width96
for dpi in 96 144 192; do
    set_dpi "$dpi"
    suffix=$([ "$dpi" = 96 ] && echo "" || echo "-$dpi")
    for which in macros advanced programs teach about noir unsupported pluginwait tray anotherremote; do
        if ! show "$exe" "$which" "shots$dpi"; then
            echo "FAIL: $which at $dpi DPI did not come up"
            status=1
        else
            convert "$work/full.png" -crop "${w}x${h}+${x}+${y}" +repage "$out/$which$suffix.png"
            if [ "$dpi" = 96 ]; then
                width96[$which]=$w
            elif [ "$w" -lt $(( ${width96[$which]:-0} * dpi / 96 * 9 / 10 )) ]; then
                # Windows, pictures and the tray icon grow with the DPI.
                echo "FAIL: $which is only $w px wide at $dpi DPI (${width96[$which]:-?} at 96)"
                status=1
            fi
            if [ "$which" != tray ] && { [ "$w" -lt 200 ] || [ "$h" -lt 100 ]; }; then
                echo "FAIL: $which is only ${w}x${h} at $dpi DPI"
                status=1
            else
                echo "ok: $which at $dpi DPI: ${w}x${h} at $x,$y"
            fi
        fi
        release
    done
done
exit $status
