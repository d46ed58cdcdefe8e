#!/usr/bin/env bash
# "/uninstall" at each moment of a cloud download at which the program waits on the network:
# while it connects to a mirror that takes no connection, while a mirror keeps silent after the
# request, and in the middle of a map that a mirror sends slowly. Each time the running copy
# stops its download and ends within five seconds, before anything is deleted: none of the ten
# working files, nor what a cloud installation cut off by the end of its process left, comes
# back afterwards, no temporary file is left, and no update time is stored.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

# A cloud installation's new bitmaps and the ones it kept aside, left when its process ended in
# the middle.
readonly kInstallationFiles=(clouds-2560-new.bmp clouds-512-new.bmp current-clouds-new.bmp clouds-2560-old.bmp
    clouds-512-old.bmp current-clouds-old.bmp)
readonly kUninstallMilliseconds=5000
# PHASE:BEHAVIOUR:ADDRESS, one mirror for each.
readonly kPhases=(connecting:never-connecting:127.0.0.5 answer:silent:127.0.0.6 body:slow-map:127.0.0.7)
# The slow mirror sends the map over about fifteen seconds; its end, and an installation after
# it, would come within this.
readonly kAfterDownloadSeconds=25

e2e_begin uninstall-during-download
e2e_make_cloud_maps
for entry in "${kPhases[@]}"; do
    IFS=: read -r phase behaviour address <<<"$entry"
    e2e_start_mirror_program "$address" "$phase" "$behaviour" "${kMapPath#/}"
done

elsewhere="$E2E_DIR/elsewhere"
mkdir -p "$elsewhere"
for entry in "${kPhases[@]}"; do
    IFS=: read -r phase behaviour address <<<"$entry"
    echo "-- /uninstall while the download waits for: $phase"
    # Each start makes the working files anew, after the uninstaller before it took them away.
    e2e_start_asking_mirrors "http://$address$kMapPath"
    # The program never writes these itself, nor leaves those of an installation but when it
    # ends in the middle of one: they are made here, so that their removal shows.
    for file in preview.bmp preview-day.bmp preview-night.bmp preview-clouds.bmp "${kInstallationFiles[@]}"; do
        cp "$E2E_INSTALL/current.bmp" "$E2E_INSTALL/$file"
    done
    cp "$E2E_INSTALL/current.bmp" "$E2E_INSTALL/clouds-2560-new.bmp.12-34.tmp"
    e2e_require "the download waits for the $phase" e2e_download_reaches "$phase"
    asked_at=$SECONDS
    if [ "$phase" = body ]; then
        # The map's first pieces reach the file while the rest is still on its way.
        e2e_require "the download is under way" e2e_wait 10 test -s "$E2E_INSTALL/clouds-new.jpg"
    else
        # Into the wait, past any first moment of it.
        sleep 1
    fi

    uninstall_started=$(date +%s%N)
    (cd "$elsewhere" && timeout 60 wine "$E2E_INSTALL/orbiscape.exe" /uninstall) >"$E2E_DIR/uninstall.log" 2>&1 &&
        uninstalled=0 || uninstalled=$?
    took_ms=$((($(date +%s%N) - uninstall_started) / 1000000))
    echo "   /uninstall finished after $took_ms ms"
    e2e_check_equal "orbiscape.exe /uninstall finishes ($phase)" 0 "$uninstalled"
    e2e_check "it finishes within $kUninstallMilliseconds ms ($phase)" test "$took_ms" -le $kUninstallMilliseconds
    e2e_check_equal "the running copy has ended when it finishes ($phase)" 0 "$(e2e_program_count)"
    e2e_check "the ten working files are gone ($phase)" e2e_none_present "${E2E_WORKING_FILES[@]}"
    e2e_check "so are an installation's leftovers ($phase)" e2e_none_present "${kInstallationFiles[@]}" \
        clouds-2560-new.bmp.12-34.tmp
    e2e_check "the mirror was asked at most once ($phase)" test "$(e2e_mirror_program_requests "$phase")" -le 1
done

# Until the map would have arrived and been installed.
some_come_back() { ! e2e_none_present "${E2E_WORKING_FILES[@]}" "${kInstallationFiles[@]}"; }
e2e_check "none of them comes back" e2e_stays_false $kAfterDownloadSeconds $asked_at some_come_back
leftovers=$(find "$E2E_INSTALL" -maxdepth 1 -name '*.tmp' | wc -l)
e2e_check_equal "no temporary file is left" 0 "$leftovers"
e2e_check_equal "CloudsLastUpdated stays 0" 0 "$(e2e_clouds_last_updated)"
