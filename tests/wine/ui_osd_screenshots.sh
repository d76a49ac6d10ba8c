#!/usr/bin/env bash
# Screenshots of the on-screen display's panel at 96, 144 and 192 DPI in a Wine virtual
# desktop: a press into a program, a volume level with its bar, Mute, and the volume in
# the high-contrast colours. Checks that the panel comes up and that its size follows
# the DPI; with SCREENSHOT_DIR set, keeps the pictures there as osd-WHICH.png (96 DPI),
# osd-WHICH-144.png, osd-WHICH-192.png.
set -eu
exe="$BUILD_DIR/tests/ui_osd_showcase.exe"
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
declare -A height96
for dpi in 96 144 192; do
    wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    suffix=$([ "$dpi" = 96 ] && echo "" || echo "-$dpi")
    for which in play volume muted contrast; do
        rm -f "$work/ready" "$work/done"
        wine explorer /desktop="osd$dpi,1400x1100" "$exe" "$which" "Z:$work/ready" "Z:$work/done" \
            >"$work/$which.log" 2>&1 &
        pid=$!
        for _ in $(seq 1 600); do
            [ -s "$work/ready" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if [ ! -s "$work/ready" ]; then
            echo "FAIL: the $which panel at $dpi DPI did not come up"
            status=1
        else
            read -r x y w h < <(tr -d '\r' <"$work/ready")
            import -display "$DISPLAY" -window root "$work/full.png"
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
        touch "$work/done"
        wait "$pid" || true
    done
done
exit $status
