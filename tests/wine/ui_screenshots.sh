#!/usr/bin/env bash
# Screenshots of the settings pages and the dialogs, taken in a Wine virtual desktop.
# Checks that each window comes up with a sensible size; with SCREENSHOT_DIR set, keeps
# the pictures there (docs/ holds the committed ones).
set -eu
exe="$BUILD_DIR/tests/ui_showcase.exe"
[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
work=$(mktemp -d)
out=${SCREENSHOT_DIR:-$work}
mkdir -p "$out"
status=0
for which in macros advanced about noir unsupported pluginwait; do
    rm -f "$work/ready" "$work/done"
    wine explorer /desktop=shots,800x600 "$exe" "$which" "Z:$work/ready" "Z:$work/done" \
        >"$work/$which.log" 2>&1 &
    pid=$!
    for _ in $(seq 1 600); do
        [ -s "$work/ready" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$work/ready" ]; then
        echo "FAIL: $which did not come up"
        status=1
    else
        read -r x y w h < <(tr -d '\r' <"$work/ready")
        # The virtual desktop sits at the top left of the X screen.
        import -display "$DISPLAY" -window root "$work/full.png"
        convert "$work/full.png" -crop "${w}x${h}+${x}+${y}" +repage "$out/$which.png"
        if [ "$w" -lt 200 ] || [ "$h" -lt 100 ]; then
            echo "FAIL: $which is only ${w}x${h}"
            status=1
        else
            echo "ok: $which ${w}x${h} at $x,$y"
        fi
    fi
    touch "$work/done"
    wait "$pid" || true
done
rm -rf "$work"
exit $status
