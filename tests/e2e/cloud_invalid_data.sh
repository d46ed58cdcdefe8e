#!/usr/bin/env bash
# A mirror that answers with a page under status 200 that is no picture: the page is kept as
# "clouds-new.jpg", nothing is installed, the moment is not stored, and the next mirror is not
# asked. Each later run asks the first mirror again, after a pause that doubles from five
# seconds, so that a mirror that keeps failing is not asked every few seconds.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

readonly kPagePath=/page/clouds_2048.jpg

e2e_begin cloud-invalid-data
e2e_make_cloud_maps
mkdir -p "$E2E_MIRROR_DIR/page"
echo "<html><body><h1>Down for maintenance</h1></body></html>" >"$E2E_MIRROR_DIR$kPagePath"
e2e_start_mirror
e2e_start_asking_mirrors "http://$kMirror$kPagePath" "http://$kMirror$kMapPath"
master_before=$(md5sum <"$E2E_INSTALL/clouds-2560.bmp")

asked_four_times() { [ "$(e2e_mirror_requests $kPagePath)" -ge 4 ]; }
e2e_check "the first mirror is asked again by three more runs" e2e_wait 90 asked_four_times
e2e_check "the mirror answered 200" grep -q -F "\"GET $kPagePath HTTP/1.0\" 200" "$E2E_DIR/mirror.log"
e2e_check_equal "the second mirror was never asked" 0 "$(e2e_mirror_requests $kMapPath)"
e2e_check "clouds-new.jpg holds the page" grep -q "Down for maintenance" "$E2E_INSTALL/clouds-new.jpg"
e2e_check_equal "clouds-2560.bmp is untouched" "$master_before" "$(md5sum <"$E2E_INSTALL/clouds-2560.bmp")"
e2e_check "clouds-2560.bmp still shows the delivered map" e2e_is_map clouds-2560.bmp "$E2E_DIR/delivered-2560.bmp"
e2e_check_equal "CloudsLastUpdated stays 0" 0 "$(e2e_clouds_last_updated)"
e2e_check_equal "the program keeps running" 1 "$(e2e_program_count)"

# The pauses between the runs, from the mirror's log (whole seconds): about 5, 10 and 20 s.
mapfile -t asked_at < <(grep -F "\"GET $kPagePath HTTP/1.0\"" "$E2E_DIR/mirror.log" | head -4 |
    sed -E 's/.*\[([^]]+)\].*/\1/' | while read -r stamp; do
        date -d "${stamp//\// }" +%s
    done)
pauses="$((asked_at[1] - asked_at[0])) $((asked_at[2] - asked_at[1])) $((asked_at[3] - asked_at[2]))"
echo "   pauses between the runs: $pauses s"
read -r first second third <<<"$pauses"
e2e_check "the pauses double from five seconds" \
    test "$first" -ge 4 -a "$first" -le 7 -a "$second" -ge 9 -a "$second" -le 12 -a "$third" -ge 19 -a "$third" -le 23
