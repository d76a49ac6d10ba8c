#!/usr/bin/env bash
# The endpoint-volume path against a real sound output: a private PulseAudio server
# with a null sink, started and ended here by its process id, serves the Wine program.
# Without PulseAudio on the machine the test is skipped.
set -u
if ! command -v pulseaudio >/dev/null 2>&1; then
    echo "SKIPPED: pulseaudio is not installed; the endpoint test needs a sound server"
    exit 0
fi

run_dir="$(cd "$WINE_ENV_DIR" && pwd)/pulse"
rm -rf "$run_dir"
mkdir -p "$run_dir"
chmod 700 "$run_dir"
socket="$run_dir/native"
export XDG_RUNTIME_DIR="$run_dir" PULSE_RUNTIME_PATH="$run_dir" PULSE_STATE_PATH="$run_dir"
export PULSE_SERVER="unix:$socket"
# No default script, no autospawn, nothing but the socket and the null sink.
echo "autospawn = no" >"$run_dir/client.conf"
export PULSE_CLIENTCONFIG="$run_dir/client.conf"

HOME="$run_dir" pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    -L "module-native-protocol-unix socket=$socket auth-anonymous=1" \
    -L "module-null-sink sink_name=orbiscope_null" \
    -L "module-always-sink" >"$run_dir/server.log" 2>&1 &
pulse_pid=$!

stop_server() {
    kill "$pulse_pid" 2>/dev/null
    wait "$pulse_pid" 2>/dev/null
}
trap stop_server EXIT

ready=0
for _ in $(seq 1 100); do
    if pactl info >/dev/null 2>&1; then ready=1; break; fi
    kill -0 "$pulse_pid" 2>/dev/null || break
    sleep 0.1
done
if [ "$ready" -ne 1 ]; then
    echo "the sound server did not start:"
    cat "$run_dir/server.log"
    exit 1
fi
pactl set-default-sink orbiscope_null >/dev/null 2>&1

ORB_AUDIO_TIER=1 WINEDEBUG=-all wine "$BUILD_DIR/tests/wine_tests.exe" \
    --gtest_filter='VolumeAudio.*' 2>&1 | grep -v -E '^(ALSA|alsa)|cannot find card'
rc=${PIPESTATUS[0]}
exit "$rc"
