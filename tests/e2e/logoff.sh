#!/usr/bin/env bash
# Logoff: `wineboot --end-session` asks every top-level window whether the session may end and
# then tells it that it ends, as Windows does at logoff and shutdown; the process is ended once
# its windows have answered. The program agrees at once, asks nothing, and ends its work before
# it answers:
# - in the middle of a cloud map that a mirror sends slowly, the download stops: no part of the
#   map, no new bitmap and no temporary file stays, and the cloud bitmaps and the stored time
#   stay as they were;
# - while a redraw runs, the redraw ends first: no temporary file stays, and the frame on the
#   disk is a whole one.
# Each time the process ends within five seconds of the message; the times are shown, beside
# what the same command takes with no program to end.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

readonly kEndMilliseconds=5000
readonly kSlowMirror=127.0.0.7
# A desktop of three 4K monitors' pixels: its redraw lasts long enough to be caught in the
# middle.
ORBISCAPE_DESKTOP_SIZE=3840x2160

# end_session PID NAME: wineboot --end-session, traced (the trace kept as wineboot-NAME.log),
# and waits until the process PID has ended. Prints the milliseconds from the first message to one of the program's windows until the
# program has answered the last (wineboot ends it then), and those from wineboot's start until
# the process was seen gone. Other processes come first in wineboot's turn: the test's mirror,
# a Wine process that never answers, is waited for some seconds.
end_session() {
    local pid=$1 started deadline=$((SECONDS + 30)) log="$E2E_DIR/wineboot.log"
    started=$(date +%s%N)
    WINEDEBUG=+timestamp,+wineboot,+msg timeout 60 wineboot --end-session >"$log" 2>&1 &
    local wineboot=$!
    e2e_track $wineboot
    while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
        sleep 0.01
    done
    local total=$((($(date +%s%N) - started) / 1000000))
    wait $wineboot 2>/dev/null || true
    cp "$log" "$E2E_OUT/wineboot-$2.log"
    # The program's windows are those told that the session ends (WM_ENDSESSION, wParam 1).
    awk -v total="$total" '
        function window(text) { text = tolower(text); sub(/^(0x)?0*/, "", text); return text }
        function moment(line) { split(line, part, ":"); return part[1] }
        function hwnd(line) { match(line, /hwnd [0-9a-fA-Fx]+/); return window(substr(line, RSTART + 5, RLENGTH - 5)) }
        /send_inter_thread_message hwnd .* msg 11 / { asked[hwnd($0)] = moment($0) }
        /send_inter_thread_message hwnd .* msg 16 .* wp 1 / { ours[hwnd($0)] = 1 }
        /received response WM_ENDSESSION hwnd / { answered[hwnd($0)] = moment($0) }
        END {
            first = -1; last = -1
            for (w in ours) {
                if (first < 0 || asked[w] < first) first = asked[w]
                if (answered[w] > last) last = answered[w]
            }
            if (first < 0 || last < 0) { print "unknown " total; exit }
            printf "%d %d\n", (last - first) * 1000 + 0.5, total
        }' "$log"
}

# leftovers: the files that an ended process must not leave in the install folder.
leftovers() {
    (cd "$E2E_INSTALL" && ls -- *.tmp clouds-new.jpg *-new.bmp *-old.bmp 2>/dev/null) | tr '\n' ' '
}

# check_ended CASE "MILLISECONDS TOTAL"
check_ended() {
    local took total
    read -r took total <<<"$2"
    echo "   the program ended $took ms after the first message to it ($total ms after wineboot started) ($1)"
    e2e_check "the program has ended ($1)" e2e_program_gone
    e2e_check "it ended within $kEndMilliseconds ms of the message ($1)" test "$took" -le $kEndMilliseconds
    e2e_check_equal "nothing half made is left ($1)" "" "$(leftovers)"
    e2e_check_equal "the frame on the disk is whole ($1)" "${ORBISCAPE_DESKTOP_SIZE/x/ }" "$(e2e_frame_size)"
}

e2e_begin logoff
e2e_open_desktop
e2e_set_dword CenterOn 0
e2e_set_dword AutoUpdateClouds 0

echo "-- The session ends while a redraw runs"
e2e_start_program
e2e_wait_for_first_frame
pid=$(orbiscape_program_linux_pid)
stamp=$(e2e_frame_stamp)
# An apply prepares every source anew and draws; the session's end begins as soon as its first
# file is being written.
e2e_require "an apply command is delivered" e2e_probe choose-tray-command "$(e2e_id ID_APPLY_SETTINGS)"
writing() { compgen -G "$E2E_INSTALL/*.tmp" >/dev/null; }
deadline=$((SECONDS + 30))
until writing || [ $SECONDS -ge $deadline ]; do sleep 0.01; done
e2e_require "the redraw writes its files" writing
check_ended redraw "$(end_session "$pid" redraw)"
e2e_check "the redraw finished its frame first" e2e_frame_replaced "$stamp"

echo "-- The session ends in the middle of a slowly sent cloud map"
e2e_make_cloud_maps
e2e_start_mirror_program $kSlowMirror body slow-map "${kMapPath#/}"
master_before=$(md5sum <"$E2E_INSTALL/clouds-2560.bmp")
e2e_start_asking_mirrors "http://$kSlowMirror$kMapPath"
e2e_require "the download is under way" e2e_wait 60 test -s "$E2E_INSTALL/clouds-new.jpg"
pid=$(orbiscape_program_linux_pid)
check_ended download "$(end_session "$pid" download)"
e2e_check_equal "clouds-2560.bmp is untouched" "$master_before" "$(md5sum <"$E2E_INSTALL/clouds-2560.bmp")"
e2e_check_equal "CloudsLastUpdated stays 0: the map had not all come" 0 "$(e2e_clouds_last_updated)"
