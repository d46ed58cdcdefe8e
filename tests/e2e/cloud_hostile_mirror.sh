#!/usr/bin/env bash
# A first mirror that answers every request with a redirect to itself, and a working second
# one: each attempt at the first ends after five redirects, a later attempt reaches the second,
# and its map is installed. The first mirror is asked a bounded number of times, and no more
# once the map is in.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
source "$(dirname "$0")/cloud_mirror.sh"

# One attempt at the redirecting mirror: the request and five redirects.
readonly kRequestsPerAttempt=6

e2e_begin cloud-hostile-mirror
e2e_make_cloud_maps
e2e_start_mirror
e2e_start_mirror_program "$kHostileMirror" hostile redirect-to-itself
e2e_start_asking_mirrors "http://$kHostileMirror$kMapPath" "http://$kMirror$kMapPath"

# Each run asks the first mirror first, then picks at random: some run soon reaches the second.
e2e_require "the working second mirror's map is installed" e2e_wait 170 e2e_map_installed
installed_at=$SECONDS
echo "   installed $((SECONDS - E2E_PROGRAM_STARTED)) s after the start"
e2e_check "clouds-2560.bmp shows the served map" e2e_is_map clouds-2560.bmp "$E2E_DIR/served-2560.bmp"
e2e_check_equal "clouds-2560.bmp is 2560 x 1280" "2560 1280" "$(e2e_probe bitmap-size clouds-2560.bmp)"

asked=$(e2e_mirror_program_requests hostile)
echo "   the redirecting mirror was asked $asked times"
e2e_check "each attempt at the redirecting mirror ends after five redirects" \
    test "$asked" -ge $kRequestsPerAttempt -a $((asked % kRequestsPerAttempt)) -eq 0
# At most four runs of four attempts each before the map came.
e2e_check "the redirecting mirror is asked a bounded number of times" test "$asked" -le $((16 * kRequestsPerAttempt))
asked_again() { [ "$(e2e_mirror_program_requests hostile)" != "$asked" ]; }
e2e_check "no request follows the installation within 10 s" e2e_stays_false 10 $installed_at asked_again
e2e_check_equal "the program keeps running" 1 "$(e2e_program_count)"
