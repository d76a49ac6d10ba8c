# A private PulseAudio server with one null sink for the Wine program to play into
# (sourced, not run). It lives in a folder of its own under WINE_ENV_DIR, answers only
# on its socket there, and is ended by its process id.
#   start_sound_server NAME SINK   0 once it answers with SINK as the default; 1 when
#                                  PulseAudio is missing or the server did not start
#   stop_sound_server              ends it, if it was started
sound_pid=
sound_dir=

start_sound_server() {
    command -v pulseaudio >/dev/null 2>&1 || return 1
    sound_dir="$(cd "$WINE_ENV_DIR" && pwd)/$1"
    local sink=$2
    rm -rf "$sound_dir"
    mkdir -p "$sound_dir"
    chmod 700 "$sound_dir"
    export XDG_RUNTIME_DIR="$sound_dir" PULSE_RUNTIME_PATH="$sound_dir" PULSE_STATE_PATH="$sound_dir"
    export PULSE_SERVER="unix:$sound_dir/native"
    # No default script, no autospawn, nothing but the socket and the null sink.
    echo "autospawn = no" >"$sound_dir/client.conf"
    export PULSE_CLIENTCONFIG="$sound_dir/client.conf"
    HOME="$sound_dir" pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --disable-shm=yes -L "module-native-protocol-unix socket=$sound_dir/native auth-anonymous=1" \
        -L "module-null-sink sink_name=$sink" -L "module-always-sink" >"$sound_dir/server.log" 2>&1 &
    sound_pid=$!
    for _ in $(seq 1 100); do
        if pactl info >/dev/null 2>&1; then
            pactl set-default-sink "$sink" >/dev/null 2>&1
            return 0
        fi
        kill -0 "$sound_pid" 2>/dev/null || break
        sleep 0.1
    done
    return 1
}

stop_sound_server() {
    [ -n "$sound_pid" ] || return 0
    kill "$sound_pid" 2>/dev/null
    wait "$sound_pid" 2>/dev/null
    sound_pid=
}
