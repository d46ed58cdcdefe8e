#!/usr/bin/env bash
# A mirror as a slow network brings it: it keeps silent for three seconds after the request, then
# sends the 4096 x 2048 map, about 1.5 MB as the cloud-map service's own, at 32 KiB a second.
# The program waits for all of it within one request, installs it as its cloud bitmaps, and
# stores the moment.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

# The map's time on the way, and some to spare for its installation.
readonly kInstallSeconds=120

e2e_begin cloud-slow-mirror
e2e_make_large_cloud_map
e2e_start_mirror_program "$kHostileMirror" slow slow-map "$kLargeMapFile"
e2e_start_asking_mirrors "http://$kHostileMirror/$kLargeMapFile"
e2e_require "the download asks the slow mirror" e2e_wait 60 e2e_mirror_program_asked slow
asked_at=$SECONDS

e2e_require "the map is installed and the moment stored" e2e_wait $kInstallSeconds e2e_map_installed
echo "   $(stat -c %s "$E2E_MIRROR_DIR/$kLargeMapFile") bytes installed $((SECONDS - asked_at)) s after the request"
e2e_check_equal "the mirror was asked once" 1 "$(e2e_mirror_program_requests slow)"
e2e_check_equal "clouds-2560.bmp is 2560 x 1280" "2560 1280" "$(e2e_probe bitmap-size clouds-2560.bmp)"
e2e_check "clouds-2560.bmp shows the served map" e2e_is_map clouds-2560.bmp "$E2E_DIR/served-large-2560.bmp"
e2e_check_equal "clouds-512.bmp is 512 x 256" "512 256" "$(e2e_probe bitmap-size clouds-512.bmp)"
e2e_check_equal "current-clouds.bmp has the prepared sources' size" "$(e2e_probe bitmap-size current-day.bmp)" \
    "$(e2e_probe bitmap-size current-clouds.bmp)"
leftovers=$(find "$E2E_INSTALL" -maxdepth 1 \( -name '*-new.bmp' -o -name '*-old.bmp' -o -name '*.tmp' \) | wc -l)
e2e_check_equal "the installation leaves no file of its own" 0 "$leftovers"
e2e_check_equal "the program keeps running" 1 "$(e2e_program_count)"
