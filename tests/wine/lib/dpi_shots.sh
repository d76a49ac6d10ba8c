# Sourced by the screenshot scripts: a showcase program's windows at a chosen DPI in a
# Wine virtual desktop. Wine reads the DPI from HKCU\Control Panel\Desktop LogPixels as
# each process starts; the value the prefix had is put back at the end.
#   set_dpi DPI                     the DPI the next program starts with
#   show EXE WHICH DESKTOP          start EXE's window WHICH; true once it is up, with its
#                                   place and size in x y w h and the root window in
#                                   $work/full.png
#   release                         let the program end
# Pictures go to $out (SCREENSHOT_DIR, else a temporary folder).
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

set_dpi() { wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }

show() {
    rm -f "$work/ready" "$work/done"
    wine explorer /desktop="$3,1400x1100" "$1" "$2" "Z:$work/ready" "Z:$work/done" \
        >"$work/$2.log" 2>&1 &
    shown_pid=$!
    for _ in $(seq 1 600); do
        [ -s "$work/ready" ] && break
        kill -0 "$shown_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$work/ready" ] || return 1
    read -r x y w h < <(tr -d '\r' <"$work/ready")
    # The virtual desktop sits at the top left of the X screen.
    import -display "$DISPLAY" -window root "$work/full.png"
}

release() {
    touch "$work/done"
    wait "$shown_pid" || true
}
