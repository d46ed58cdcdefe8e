#!/usr/bin/env bash
# A cloud download through the real program: with updates on and none made yet, about five
# seconds after the start the program fetches the map from the first mirror, installs it as its
# cloud bitmaps, deletes the download, stores the moment, and shows the new clouds from the next
# redraw on. The next update is a full period away.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

# Redraws every two seconds, so that the new clouds soon reach the desktop.
readonly kUpdateFreq=2000

e2e_begin cloud-download
e2e_make_cloud_maps
e2e_start_mirror
# The whole map in view, so that the day side, where clouds show brightest, is in the frame.
e2e_set_dword CenterOn 0
e2e_set_dword BlackBars 1
e2e_set_dword Crop 0
e2e_set_dword UpdateFreq $kUpdateFreq
e2e_set_dword AutoUpdateClouds 1
e2e_set_qword CloudsLastUpdated 0
e2e_set_urls "http://$kMirror$kMapPath" "http://$kDeadMirror$kMapPath"
e2e_start_program
# The first frame comes before the download, with the delivered map's clouds.
e2e_wait_for_first_frame
first_frame_after=$((SECONDS - E2E_PROGRAM_STARTED))
cp "$E2E_INSTALL/current.bmp" "$E2E_DIR/frame-with-delivered-clouds.bmp"

e2e_require "the first mirror is asked for the map" e2e_wait 60 e2e_map_requested
asked_after=$((SECONDS - E2E_PROGRAM_STARTED))
echo "   $first_frame_after s after the start the first frame was shown, after $asked_after s the map was asked for"
# The cloud timer is armed for 5000 ms just before the first frame is drawn (a second's
# rounding either way here).
e2e_check "the download starts no sooner than five seconds after the start" test $asked_after -ge 4
e2e_check "the download starts within seconds of the first frame" test $((asked_after - first_frame_after)) -le 15
e2e_check "the request is an HTTP/1.0 GET of the mirror's path" grep -q -F "\"GET $kMapPath HTTP/1.0\"" \
    "$E2E_DIR/mirror.log"

e2e_require "the map is installed and the moment stored" e2e_wait 60 e2e_map_installed
installed_at=$SECONDS
frame_after_install=$(e2e_file_inode "$E2E_INSTALL/current.bmp")
e2e_check_equal "clouds-2560.bmp is 2560 x 1280" "2560 1280" "$(e2e_probe bitmap-size clouds-2560.bmp)"
e2e_check "clouds-2560.bmp shows the served map" e2e_is_map clouds-2560.bmp "$E2E_DIR/served-2560.bmp"
e2e_check "clouds-2560.bmp no longer shows the delivered map" e2e_not e2e_is_map clouds-2560.bmp \
    "$E2E_DIR/delivered-2560.bmp"
e2e_check_equal "clouds-512.bmp is 512 x 256" "512 256" "$(e2e_probe bitmap-size clouds-512.bmp)"
e2e_check_equal "current-clouds.bmp has the prepared sources' size" "$(e2e_probe bitmap-size current-day.bmp)" \
    "$(e2e_probe bitmap-size current-clouds.bmp)"
e2e_check "clouds-new.jpg is gone" test ! -e "$E2E_INSTALL/clouds-new.jpg"

# The moment reaches user.reg when the wineserver next saves the registry.
stored_moment() { [ -n "$(e2e_stored_clouds_last_updated)" ] && [ "$(e2e_stored_clouds_last_updated)" != 0 ]; }
e2e_check "CloudsLastUpdated is saved in user.reg" e2e_wait 60 stored_moment
stored=$(e2e_stored_clouds_last_updated || echo 0)
now=$(e2e_filetime_now)
started=$((now - (SECONDS - E2E_PROGRAM_STARTED + 5) * 10000000))
echo "   CloudsLastUpdated $stored; the program started after $started, now is $now"
e2e_check "CloudsLastUpdated is a FILETIME of this run" test "$stored" -ge "$started" -a "$stored" -le "$now"

# The next redraw lays the new map over the Earth: the day side, where clouds show brightest,
# changes almost everywhere.
# A redraw that began while the map was being installed may still show the old clouds, so the
# frame is looked at after the second redraw.
frame_redrawn() { [ "$(e2e_file_inode "$E2E_INSTALL/current.bmp")" != "$frame_after_install" ]; }
e2e_check "the frame is redrawn after the download" e2e_wait 30 frame_redrawn
frame_after_install=$(e2e_file_inode "$E2E_INSTALL/current.bmp")
e2e_check "the frame is redrawn once more" e2e_wait 30 frame_redrawn
e2e_screenshot desktop-with-new-clouds
changed=$(e2e_probe differing-pixels current.bmp 0 0 "$E2E_DIR/frame-with-delivered-clouds.bmp" 0 0 1280 1024 48)
echo "   pixels of the frame unlike the first one: $changed"
e2e_check "the new clouds show in the frame" awk -v r="$changed" 'BEGIN { split(r, R); exit !(R[1] >= 0.15 * R[2]) }'

# A successful download puts the next one a full period (three hours) away.
second_download() { [ "$(e2e_mirror_requests $kMapPath)" != 1 ]; }
e2e_check "no second download follows within 10 s" e2e_stays_false 10 $installed_at second_download
e2e_check_equal "the program keeps running" 1 "$(e2e_program_count)"
