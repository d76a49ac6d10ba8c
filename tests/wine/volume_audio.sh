#!/usr/bin/env bash
# The endpoint-volume path against a real sound output: a private PulseAudio server
# with a null sink, started and ended here by its process id, serves the Wine program.
# Without PulseAudio on the machine the test is skipped.
set -u
if ! command -v pulseaudio >/dev/null 2>&1; then
    echo "SKIPPED: pulseaudio is not installed; the endpoint test needs a sound server"
    exit 0
fi

. "$(dirname "$0")/lib/sound_server.sh"
trap stop_sound_server EXIT
if ! start_sound_server pulse orbiscope_null; then
    echo "the sound server did not start:"
    cat "$sound_dir/server.log"
    exit 1
fi

ORB_AUDIO_TIER=1 WINEDEBUG=-all wine "$BUILD_DIR/tests/wine_tests.exe" \
    --gtest_filter='VolumeAudio.*' 2>&1 | grep -v -E '^(ALSA|alsa)|cannot find card'
rc=${PIPESTATUS[0]}
exit "$rc"
