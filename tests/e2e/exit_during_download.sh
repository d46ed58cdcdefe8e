#!/usr/bin/env bash
# "E&xit" at each moment of a cloud download at which the program waits on the network: while
# it connects to a mirror that takes no connection, while a mirror keeps silent after the
# request, and in the middle of a body that has fallen silent. Each time the program ends within
# three seconds, and the cloud bitmaps and the stored time stay as they were.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

readonly kExitMilliseconds=3000
# PHASE:BEHAVIOUR:ADDRESS, one mirror for each.
readonly kPhases=(connecting:never-connecting:127.0.0.5 answer:silent:127.0.0.6 body:silent-mid-body:127.0.0.7)

e2e_begin exit-during-download
for entry in "${kPhases[@]}"; do
    IFS=: read -r phase behaviour address <<<"$entry"
    e2e_start_mirror_program "$address" "$phase" "$behaviour"
done

for entry in "${kPhases[@]}"; do
    IFS=: read -r phase behaviour address <<<"$entry"
    echo "-- Exit while the download waits for: $phase"
    if [ "$phase" = connecting ]; then
        e2e_start_asking_mirrors "http://$address$kMapPath"
        master_before=$(md5sum <"$E2E_INSTALL/clouds-2560.bmp")
    else
        e2e_set_urls "http://$address$kMapPath"
        e2e_start_program
    fi
    e2e_require "the download waits for the $phase" e2e_download_reaches "$phase"
    # Into the wait, past any first moment of it.
    sleep 1
    e2e_require "the tray menu's exit command is delivered" e2e_probe choose-tray-exit
    exit_given=$(date +%s%N)
    e2e_wait 60 e2e_program_gone || true
    ended_after_ms=$((($(date +%s%N) - exit_given) / 1000000))
    echo "   the program was seen gone $ended_after_ms ms after Exit"
    e2e_check "the program ends within $kExitMilliseconds ms of Exit ($phase)" test "$ended_after_ms" -le $kExitMilliseconds
    e2e_check "the mirror was asked at most once ($phase)" test "$(e2e_mirror_program_requests "$phase")" -le 1
    e2e_check_equal "clouds-2560.bmp is untouched ($phase)" "$master_before" \
        "$(md5sum <"$E2E_INSTALL/clouds-2560.bmp")"
    e2e_check_equal "CloudsLastUpdated stays 0 ($phase)" 0 "$(e2e_clouds_last_updated)"
done
