#!/usr/bin/env bash
# The program is closed while the unsupported-program warning is open on its reader
# thread and nobody answers it: the warning closes and the program ends, as it must for
# a silent upgrade.
. "$(dirname "$0")/lib/shell_lib.sh"
sender="$BUILD_DIR/orbsend.exe"
probe="$BUILD_DIR/tests/window_probe.exe"
export ORBISCOPE_VIRTUAL_RECEIVER='\\.\pipe\orbiscope-e2e-warning'
fresh_settings

start_remote
remote=$last_pid
step window 20000
# A program the catalogue does not know, in front.
wine regedit >>"$log" 2>&1 &
started+=($!)
wine "$probe" wait RegEdit_RegEdit 15000 >>"$log" 2>&1 || { echo "  regedit did not come up"; failures=$((failures + 1)); }
wine "$sender" --virtual Play >>"$log" 2>&1
step dialog "Orbiscope Warning" 10000
step post 0x10
expect_exit "$remote" 20
wine "$probe" close RegEdit_RegEdit >>"$log" 2>&1
finish
