#!/usr/bin/env bash
# "/uninstall" while a cloud download is under way: a mirror sends the map slowly, and the
# uninstaller is run in the middle of it. The running copy stops its download and ends before
# anything is deleted, so none of the ten working files comes back afterwards, no temporary
# file is left, and no update time is stored.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

readonly kWorkingFiles=(current.bmp current-day.bmp current-night.bmp current-clouds.bmp preview.bmp
    preview-day.bmp preview-night.bmp preview-clouds.bmp clouds-2560.bmp clouds-512.bmp)
# The slow mirror sends the map over about ten seconds; its end, and an installation after it,
# would come within this.
readonly kAfterDownloadSeconds=20

none_present() {
    local file
    for file in "$@"; do
        [ ! -e "$E2E_INSTALL/$file" ] || return 1
    done
}

e2e_begin uninstall-during-download
e2e_make_cloud_maps
e2e_start_hostile_mirror slow-map "${kMapPath#/}"
e2e_start_asking_mirrors "http://$kHostileMirror$kMapPath"
# The program never writes these three itself: they are made here, so that their removal shows.
for file in preview.bmp preview-day.bmp preview-night.bmp preview-clouds.bmp; do
    cp "$E2E_INSTALL/current.bmp" "$E2E_INSTALL/$file"
done

asked() { [ "$(e2e_hostile_requests)" -ge 1 ]; }
e2e_require "the download asks the slow mirror" e2e_wait 60 asked
asked_at=$SECONDS
# The map's first pieces reach the file while the rest is still on its way.
e2e_require "the download is still under way" e2e_wait 8 test -s "$E2E_INSTALL/clouds-new.jpg"

elsewhere="$E2E_DIR/elsewhere"
mkdir -p "$elsewhere"
uninstall_started=$(date +%s%N)
(cd "$elsewhere" && timeout 60 wine "$E2E_INSTALL/orbiscape.exe" /uninstall) >"$E2E_DIR/uninstall.log" 2>&1 &&
    uninstalled=0 || uninstalled=$?
echo "   /uninstall finished after $((($(date +%s%N) - uninstall_started) / 1000000)) ms"
e2e_check_equal "orbiscape.exe /uninstall finishes" 0 "$uninstalled"
e2e_check_equal "the running copy has ended when it finishes" 0 "$(e2e_program_count)"
e2e_check "the ten working files are gone" none_present "${kWorkingFiles[@]}"

# Past the time the map would have taken to arrive and be installed.
sleep $((kAfterDownloadSeconds - (SECONDS - asked_at) > 0 ? kAfterDownloadSeconds - (SECONDS - asked_at) : 0))
e2e_check "none of them comes back" none_present "${kWorkingFiles[@]}"
leftovers=$(find "$E2E_INSTALL" -maxdepth 1 -name '*.tmp' | wc -l)
e2e_check_equal "no temporary file is left" 0 "$leftovers"
e2e_check_equal "CloudsLastUpdated stays 0" 0 "$(e2e_clouds_last_updated)"
