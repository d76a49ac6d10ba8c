#!/usr/bin/env bash
# Screenshots of the on-screen display's panel at 96, 144 and 192 DPI in a Wine virtual
# desktop: a press into a program, a volume level with its bar, Mute, and the volume in
# the high-contrast colours. Checks that the panel comes up and that its size follows
# the DPI; with SCREENSHOT_DIR set, keeps the pictures there as osd-WHICH.png (96 DPI),
# osd-WHICH-144.png, osd-WHICH-192.png.
set -eu
exe="$BUILD_DIR/tests/ui_osd_showcase.exe"
[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
. "$(dirname "$0")/lib/dpi_shots.sh"

status=0
declare -A height96
for dpi in 96 144 192; do
    set_dpi "$dpi"
    suffix=$([ "$dpi" = 96 ] && echo "" || echo "-$dpi")
    for which in play volume muted contrast; do
        if ! show "$exe" "$which" "osd$dpi"; then
            echo "FAIL: the $which panel at $dpi DPI did not come up"
            status=1
        else
            # A margin of the desktop around the panel shows where it sits.
            m=$((16 * dpi / 96))
            convert "$work/full.png" -crop "$((w + 2 * m))x$((h + 2 * m))+$((x - m))+$((y - m))" +repage \
                "$out/osd-$which$suffix.png"
            if [ "$dpi" = 96 ]; then
                height96[$which]=$h
            elif [ "$h" -lt $(( ${height96[$which]:-0} * dpi / 96 * 9 / 10 )) ]; then
                echo "FAIL: the $which panel is only $h px high at $dpi DPI (${height96[$which]:-?} at 96)"
                status=1
            fi
            echo "ok: $which panel at $dpi DPI: ${w}x${h} at $x,$y"
        fi
        release
    done
done
exit $status
