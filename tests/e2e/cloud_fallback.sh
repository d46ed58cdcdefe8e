#!/usr/bin/env bash
# Cloud mirrors that are down: with only a dead mirror the download gives up, installs nothing
# and tries again a few seconds later, while the program runs on; once the list names a working
# mirror after the dead one, a later attempt reaches it and the map is installed.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

e2e_begin cloud-fallback
if e2e_port_open "$kDeadMirror"; then
    e2e_fail "nothing listens on $kDeadMirror port 80"
    exit 1
fi
e2e_make_cloud_maps
e2e_start_mirror
e2e_start_asking_mirrors "http://$kDeadMirror$kMapPath"

# Every attempt creates "clouds-new.jpg" afresh; the four attempts of a run follow each other at
# once, and the next run begins some seconds after the last one ended. A change of the file after
# such a pause shows that a run has given up and armed the next.
download_file="$E2E_INSTALL/clouds-new.jpg"
download_stamp() { stat -c '%i %.9Y' "$download_file" 2>/dev/null; }
download_begun() { [ -e "$download_file" ]; }
# next_run_begins SECONDS: the file changes after it has stayed as it was for at least 3 s.
next_run_begins() {
    local deadline=$((SECONDS + $1)) last changed_at=$SECONDS stamp
    last=$(download_stamp)
    while [ $SECONDS -lt $deadline ]; do
        sleep "$E2E_POLL_SECONDS"
        stamp=$(download_stamp)
        if [ "$stamp" != "$last" ]; then
            if [ $((SECONDS - changed_at)) -ge 3 ]; then
                echo "   a run began after a pause of $((SECONDS - changed_at)) s"
                return 0
            fi
            last=$stamp
            changed_at=$SECONDS
        fi
    done
    return 1
}
e2e_require "a download begins" e2e_wait 60 download_begun
e2e_check "after giving up, the next run begins a few seconds later" next_run_begins 60
e2e_check_equal "clouds-new.jpg is empty" 0 "$(stat -c %s "$download_file")"
e2e_check "clouds-2560.bmp still shows the delivered map" e2e_is_map clouds-2560.bmp "$E2E_DIR/delivered-2560.bmp"
e2e_check_equal "CloudsLastUpdated stays 0" 0 "$(e2e_clouds_last_updated)"
e2e_check_equal "the working mirror was not asked" 0 "$(e2e_mirror_requests $kMapPath)"
e2e_check_equal "the program keeps running" 1 "$(e2e_program_count)"
e2e_check "its window OrbiscapeCommandSink is there" e2e_window_exists OrbiscapeCommandSink

# The list is read afresh by every run. After the dead first mirror, each run picks three times
# at random from the list, which names the working mirror three times: a run misses it with a
# chance of 1 in 64, where a list naming it once would miss it 1 time in 8 and, once in a few
# hundred scenarios, three runs in a row. The runs come ever more slowly while they fail, 10, 20,
# 40 and 80 s apart: the wait covers four of them.
readonly working="http://$kMirror$kMapPath"
e2e_set_urls "http://$kDeadMirror$kMapPath" "$working" "$working" "$working"
e2e_check "a later run falls back to the working mirror and installs its map" e2e_wait 170 e2e_map_installed
e2e_check "clouds-2560.bmp shows the served map" e2e_is_map clouds-2560.bmp "$E2E_DIR/served-2560.bmp"
e2e_check_equal "the program keeps running" 1 "$(e2e_program_count)"
