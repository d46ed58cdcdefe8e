#!/usr/bin/env bash
# A mirror that answers with an error page: the page is kept as "clouds-new.jpg", nothing is
# installed, the moment is not stored, and the next mirror is not asked; a few seconds later
# the next run asks the first mirror again.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

readonly kMissingPath=/missing/clouds_2048.jpg

e2e_begin cloud-invalid-data
e2e_make_cloud_maps
e2e_start_mirror
e2e_set_dword CenterOn 0
e2e_set_dword AutoUpdateClouds 1
e2e_set_qword CloudsLastUpdated 0
e2e_set_urls "http://$kMirror$kMissingPath" "http://$kMirror$kMapPath"
e2e_start_program
e2e_wait_for_first_frame
master_before=$(md5sum <"$E2E_INSTALL/clouds-2560.bmp")

asked_twice() { [ "$(e2e_mirror_requests $kMissingPath)" -ge 2 ]; }
e2e_check "the first mirror is asked again by the next run" e2e_wait 60 asked_twice
e2e_check "the mirror answered 404" grep -q -F "\"GET $kMissingPath HTTP/1.0\" 404" "$E2E_DIR/mirror.log"
e2e_check_equal "the second mirror was never asked" 0 "$(e2e_mirror_requests $kMapPath)"
e2e_check "clouds-new.jpg holds the error page" grep -q "Error code: 404" "$E2E_INSTALL/clouds-new.jpg"
e2e_check_equal "clouds-2560.bmp is untouched" "$master_before" "$(md5sum <"$E2E_INSTALL/clouds-2560.bmp")"
e2e_check "clouds-2560.bmp still shows the delivered map" e2e_is_map clouds-2560.bmp "$E2E_DIR/delivered-2560.bmp"
e2e_check_equal "CloudsLastUpdated stays 0" 0 "$(e2e_clouds_last_updated)"
e2e_check_equal "the program keeps running" 1 "$(e2e_program_count)"
