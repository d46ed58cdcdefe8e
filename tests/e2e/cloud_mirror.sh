# Sourced by the cloud download scenarios, after e2e_session.sh: cloud map mirrors on loopback
# addresses of this machine (a plain HTTP server on port 80, as the download always asks port 80
# there), a cloud map that no one could mistake for the delivered one, and the checks of which
# map the program has installed.

readonly kMirror=127.0.0.2
# Nothing listens here: a mirror that is down.
readonly kDeadMirror=127.0.0.3
# A mirror that misbehaves or is slow (orbiscape-e2e-mirror).
readonly kHostileMirror=127.0.0.5
# How long the misbehaving mirror serves: longer than any scenario runs.
readonly kHostileMirrorSeconds=290
readonly kMapPath=/clouds_2048.jpg
# Bitmaps compared pixel by pixel: two scalings of the same map differ by more than this in
# some channel in well under one pixel in a hundred; the delivered map and its negative differ
# so in most pixels.
readonly kSameMapThreshold=48

# e2e_make_cloud_maps: in E2E_DIR/mirror the delivered map's negative as the map to serve, and
# the master-bitmap sizes of the delivered and the served map as references.
e2e_make_cloud_maps() {
    E2E_MIRROR_DIR="$E2E_DIR/mirror"
    mkdir -p "$E2E_MIRROR_DIR"
    convert "$ORBISCAPE_SOURCE_DIR/data/clouds.jpg" -negate "$E2E_MIRROR_DIR${kMapPath}"
    convert "$ORBISCAPE_SOURCE_DIR/data/clouds.jpg" -resize '2560x1280!' -type TrueColor \
        "BMP3:$E2E_DIR/delivered-2560.bmp"
    convert "$E2E_MIRROR_DIR${kMapPath}" -resize '2560x1280!' -type TrueColor "BMP3:$E2E_DIR/served-2560.bmp"
}

# e2e_make_large_cloud_map: in E2E_MIRROR_DIR a 4096 x 2048 map of the size the cloud-map
# service's own has (about 1.5 MB), kLargeMapFile, and its master-bitmap size as the reference
# E2E_DIR/served-large-2560.bmp.
readonly kLargeMapFile=clouds_4096.jpg
e2e_make_large_cloud_map() {
    mkdir -p "${E2E_MIRROR_DIR:=$E2E_DIR/mirror}"
    convert "$ORBISCAPE_SOURCE_DIR/data/clouds.jpg" -negate -resize '4096x2048!' -colorspace Gray -quality 97 \
        "$E2E_MIRROR_DIR/$kLargeMapFile"
    convert "$E2E_MIRROR_DIR/$kLargeMapFile" -resize '2560x1280!' -type TrueColor "BMP3:$E2E_DIR/served-large-2560.bmp"
}

# e2e_start_mirror: serves E2E_MIRROR_DIR on kMirror port 80; every request is logged to
# E2E_DIR/mirror.log, where e2e_mirror_requests counts them.
e2e_start_mirror() {
    if e2e_port_open "$kMirror"; then
        e2e_fail "$kMirror port 80 is free for the mirror" "something else listens there"
        exit 1
    fi
    python3 -u -m http.server 80 --bind "$kMirror" --directory "$E2E_MIRROR_DIR" >"$E2E_DIR/mirror.log" 2>&1 &
    E2E_MIRROR_PID=$!
    e2e_track $E2E_MIRROR_PID
    e2e_require "the mirror listens on $kMirror port 80" e2e_wait 15 e2e_mirror_up
}

e2e_mirror_up() {
    kill -0 "$E2E_MIRROR_PID" 2>/dev/null && e2e_port_open "$kMirror"
}

e2e_port_open() {
    timeout 5 bash -c "exec 3<>/dev/tcp/$1/80" 2>/dev/null
}

# e2e_start_mirror_program ADDRESS NAME BEHAVIOUR [FILE]: orbiscape-e2e-mirror with that
# behaviour on ADDRESS port 80, run in E2E_MIRROR_DIR (FILE is named relative to it); every
# request is logged to E2E_DIR/NAME.log, where e2e_mirror_program_requests counts them.
e2e_start_mirror_program() {
    local address=$1 name=$2 behaviour=$3
    : "${ORBISCAPE_E2E_MIRROR:?}"
    if e2e_port_open "$address"; then
        e2e_fail "$address port 80 is free for the $name mirror" "something else listens there"
        exit 1
    fi
    mkdir -p "${E2E_MIRROR_DIR:=$E2E_DIR/mirror}"
    (cd "$E2E_MIRROR_DIR" && exec timeout $((kHostileMirrorSeconds + 10)) wine "$ORBISCAPE_E2E_MIRROR" \
        "$address" "$behaviour" $kHostileMirrorSeconds ${4:+"$4"}) >"$E2E_DIR/$name.log" 2>&1 &
    e2e_track $!
    e2e_require "the $name mirror ($behaviour) listens on $address port 80" \
        e2e_wait 60 grep -q "^listening on" "$E2E_DIR/$name.log"
}

# e2e_mirror_program_requests NAME: how many requests that mirror has received.
e2e_mirror_program_requests() {
    grep -c '^request ' "$E2E_DIR/$1.log" || true
}

# e2e_mirror_program_waiting NAME: a client waits to be connected to that mirror.
e2e_mirror_program_waiting() {
    [ "$(grep '^waiting clients ' "$E2E_DIR/$1.log" | tail -n 1 | tr -d '\r' | cut -d' ' -f3)" -ge 1 ] 2>/dev/null
}

# e2e_mirror_program_asked NAME: that mirror has received a request.
e2e_mirror_program_asked() {
    [ "$(e2e_mirror_program_requests "$1")" -ge 1 ]
}

# e2e_download_reaches PHASE: waits until the program's download waits on the mirror named after
# the phase: "connecting" (its connection waits to be taken), or any other (it has asked).
e2e_download_reaches() {
    if [ "$1" = connecting ]; then
        e2e_wait 60 e2e_mirror_program_waiting "$1"
    else
        e2e_wait 60 e2e_mirror_program_asked "$1"
    fi
}

# e2e_mirror_requests PATH: how many GETs of PATH the mirror has answered.
e2e_mirror_requests() {
    grep -c -F "\"GET $1 HTTP/" "$E2E_DIR/mirror.log" || true
}

# e2e_is_map BITMAP REFERENCE: the installed bitmap shows the reference map.
e2e_is_map() {
    local counts
    counts=$(e2e_probe differing-pixels "$1" 0 0 "$2" 0 0 2560 1280 $kSameMapThreshold) || return 1
    awk -v r="$counts" 'BEGIN { split(r, R); exit !(R[2] > 0 && R[1] <= 0.01 * R[2]) }'
}

# e2e_start_asking_mirrors ADDRESS...: starts the program with cloud updates on and due at once
# from these mirrors, centred on longitude 0, and waits for its first frame.
e2e_start_asking_mirrors() {
    e2e_set_dword CenterOn 0
    e2e_set_dword AutoUpdateClouds 1
    e2e_set_qword CloudsLastUpdated 0
    e2e_set_urls "$@"
    e2e_start_program
    e2e_wait_for_first_frame
}

# e2e_clouds_last_updated: CloudsLastUpdated as the program's registry shows it now, in decimal.
e2e_clouds_last_updated() {
    e2e_probe registry-qword 'Software\Orbiscape' CloudsLastUpdated
}

# e2e_map_requested: the mirror has been asked for the map; e2e_map_installed: a downloaded map
# is installed (the download is gone and the moment stored).
e2e_map_requested() {
    [ "$(e2e_mirror_requests $kMapPath)" -ge 1 ]
}
e2e_map_installed() {
    [ ! -e "$E2E_INSTALL/clouds-new.jpg" ] && [ "$(e2e_clouds_last_updated)" != 0 ]
}

# e2e_stored_clouds_last_updated: CloudsLastUpdated as the wineserver has written it to
# user.reg (a hex(b) value, low byte first), in decimal; nothing while it is not written yet.
e2e_stored_clouds_last_updated() {
    local hex
    hex=$(awk '/^\[Software\\\\Orbiscape\]/ { inside = 1; next } /^\[/ { inside = 0 }
        inside && /^"CloudsLastUpdated"=hex\(b\):/ { sub(/^[^:]*:/, ""); print; exit }' "$WINEPREFIX/user.reg")
    local -a bytes=(${hex//,/ })
    [ ${#bytes[@]} -eq 8 ] || return 1
    local value=0 i
    for ((i = 7; i >= 0; i--)); do
        value=$((value * 256 + 16#${bytes[i]}))
    done
    echo "$value"
}

# The present moment as a FILETIME: 100-nanosecond ticks since 1601-01-01.
e2e_filetime_now() {
    echo $((($(date +%s) + 11644473600) * 10000000))
}
