#!/usr/bin/env bash
# A second copy: starting orbiscape.exe while it runs shows the message that it is already
# running; after OK that copy ends, and the first one keeps running and redrawing.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"

readonly kMessage="Orbiscape is already running. Look for the globe icon in your system tray."
readonly kCaption="Orbiscape"
# Redraws every two seconds, so that the first copy's timer can be seen at work afterwards.
readonly kUpdateFreq=2000

e2e_begin second-copy
e2e_set_dword CenterOn 0
e2e_set_dword UpdateFreq $kUpdateFreq
e2e_start_program
e2e_wait_for_first_frame
first_pid=$(e2e_probe process-resources orbiscape.exe | awk '$1 == "pid" { print $2 }')

(cd "$E2E_INSTALL" && exec wine orbiscape.exe) >"$E2E_DIR/second-copy.log" 2>&1 &
second=$!
e2e_track $second

# The box as the user sees it, then its text and its OK button.
box_shown() { e2e_probe window-exists "$kCaption" >/dev/null; }
if e2e_wait 60 box_shown; then
    e2e_screenshot message-box
fi
text=$(e2e_probe answer-message-box "$kCaption" 30000) && answered=yes || answered=no
e2e_check_equal "the second copy's message box is answered with OK" yes "$answered"
e2e_check_equal "the message box says the program is already running" "$kMessage" "$text"

second_ended() { ! kill -0 $second 2>/dev/null; }
e2e_check "the second copy ends after OK" e2e_wait 30 second_ended
e2e_check_equal "one copy runs" 1 "$(e2e_program_count)"
e2e_check_equal "the copy that runs is the first" "$first_pid" \
    "$(e2e_probe process-resources orbiscape.exe | awk '$1 == "pid" { print $2 }')"
e2e_check "the first copy's window OrbiscapeCommandSink is still there" e2e_window_exists OrbiscapeCommandSink

# Every redraw replaces "current.bmp", so a new file means the first copy's timer still runs.
frame_before=$(e2e_frame_stamp)
e2e_check "the first copy goes on redrawing" e2e_wait 30 e2e_frame_replaced "$frame_before"
