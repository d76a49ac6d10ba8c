#!/usr/bin/env bash
# Screenshots of the settings pages and the dialogs at 96, 144 and 192 DPI, taken in a
# Wine virtual desktop. Checks that each window comes up, and grows with the DPI as it
# should; with SCREENSHOT_DIR set, keeps the pictures there as WHICH.png (96 DPI) and
# WHICH-144.png, WHICH-192.png (docs/ holds the committed ones).
#
# Wine reads the DPI from HKCU\Control Panel\Desktop LogPixels as each process starts;
# the value the prefix had is put back at the end.
set -eu
exe="$BUILD_DIR/tests/ui_showcase.exe"
[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
work=$(mktemp -d)
out=${SCREENSHOT_DIR:-$work}
mkdir -p "$out"
desktop_key='HKCU\Control Panel\Desktop'
old_dpi=$(wine reg query "$desktop_key" /v LogPixels 2>/dev/null | tr -d '\r' |
          awk '$1 == "LogPixels" {print $3}' || true)
restore_dpi() {
    if [ -n "$old_dpi" ]; then
        wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$((old_dpi))" /f >/dev/null 2>&1
    else
        wine reg delete "$desktop_key" /v LogPixels /f >/dev/null 2>&1
    fi
    rm -rf "$work"
}
trap restore_dpi EXIT

status=0
declare -A width96
for dpi in 96 144 192; do
    wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    suffix=$([ "$dpi" = 96 ] && echo "" || echo "-$dpi")
    for which in macros advanced about noir unsupported pluginwait tray; do
        rm -f "$work/ready" "$work/done"
        wine explorer /desktop="shots$dpi,1400x1100" "$exe" "$which" "Z:$work/ready" "Z:$work/done" \
            >"$work/$which.log" 2>&1 &
        pid=$!
        for _ in $(seq 1 600); do
            [ -s "$work/ready" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if [ ! -s "$work/ready" ]; then
            echo "FAIL: $which at $dpi DPI did not come up"
            status=1
        else
            read -r x y w h < <(tr -d '\r' <"$work/ready")
            # The virtual desktop sits at the top left of the X screen.
            import -display "$DISPLAY" -window root "$work/full.png"
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
        touch "$work/done"
        wait "$pid" || true
    done
done
exit $status
