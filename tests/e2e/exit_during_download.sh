#!/usr/bin/env bash
# "E&xit" while the cloud download waits on a mirror that has fallen silent in the middle of
# the body: the download gives up at once, and the program ends within a few seconds, leaving
# the cloud bitmaps and the stored time as they were.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

# Exit must not take longer than this: the download notices the request within a second.
readonly kExitSeconds=6

e2e_begin exit-during-download
e2e_start_hostile_mirror silent-mid-body
e2e_start_asking_mirrors "http://$kHostileMirror$kMapPath"
master_before=$(md5sum <"$E2E_INSTALL/clouds-2560.bmp")

asked() { [ "$(e2e_hostile_requests)" -ge 1 ]; }
e2e_require "the download asks the silent mirror" e2e_wait 60 asked
# Well into the wait for the rest of the body.
sleep 3
e2e_require "the tray menu's exit command is delivered" e2e_probe choose-tray-exit
exit_given=$(date +%s%N)
program_gone() { [ "$(e2e_program_count)" = 0 ]; }
e2e_wait 60 program_gone || true
ended_after_ms=$((($(date +%s%N) - exit_given) / 1000000))
echo "   the program was seen gone $ended_after_ms ms after Exit"
e2e_check "the program ends within $kExitSeconds s of Exit" test "$ended_after_ms" -le $((kExitSeconds * 1000))
e2e_check_equal "the silent mirror was asked once" 1 "$(e2e_hostile_requests)"
e2e_check_equal "clouds-2560.bmp is untouched" "$master_before" "$(md5sum <"$E2E_INSTALL/clouds-2560.bmp")"
e2e_check_equal "CloudsLastUpdated stays 0" 0 "$(e2e_clouds_last_updated)"
