# Sourced by the monthly map scenarios, after e2e_session.sh: a server of monthly maps on a
# loopback address of this machine (plain HTTP on port 80, as the download asks port 80 for a
# plain address), the maps it serves, made from a delivered month, and what tells which map the
# program has installed.

readonly kMapServer=127.0.0.2
# Nothing listens here: a source that is down.
readonly kDeadSource=127.0.0.3
# A server that cuts its answer short (orbiscape-e2e-mirror).
readonly kCutServer=127.0.0.5
readonly kMapServerSeconds=290
# Where the served map lies, in the older host's layout.
readonly kSharpMapPattern='/bmng/{month}/world.topo.bathy.2004{MM}.3x5400x2700.jpg'
readonly kMonthNames=(january february march april may june july august september october november december)

# e2e_choose_sharp_month: E2E_MONTH, the month the desktop shows, and E2E_MM, its two digits.
# January's and July's maps are known to the byte, so a map made here could never pass for them:
# in those months a fixed month (March) is chosen as the day image instead of the month's own.
e2e_choose_sharp_month() {
    E2E_MONTH=$((10#$(date -u +%m)))
    E2E_DAY_IMAGE=-1
    if [ "$E2E_MONTH" = 1 ] || [ "$E2E_MONTH" = 7 ]; then
        E2E_MONTH=3
        E2E_DAY_IMAGE=3
        e2e_set_dword DaytimeImage 3
    fi
    E2E_MM=$(printf %02d "$E2E_MONTH")
}

# e2e_sharp_map_path: the path under which the server has the month's map.
e2e_sharp_map_path() {
    local path=${kSharpMapPattern//\{month\}/${kMonthNames[E2E_MONTH - 1]}}
    echo "${path//\{MM\}/$E2E_MM}"
}

# e2e_make_sharp_map OUTPUT [CONVERT OPTIONS...]: the month's delivered map enlarged to
# 5400 x 2700, with a red patch over northern Europe (away from every place the checks look at)
# that tells it from the delivered map, changed by the options (a mirror, another size), as a
# colour JPEG between 1.5 and 4 MB.
e2e_make_sharp_map() {
    local output=$1 quality
    shift
    for quality in 95 98; do
        convert "$ORBISCAPE_SOURCE_DIR/data/$E2E_MM-2560.jpg" -filter Triangle -resize '5400x2700!' \
            -fill red -draw 'rectangle 3000,300 3300,450' "$@" -strip -type TrueColor -interlace none \
            -sampling-factor 1x1,1x1,1x1 -quality $quality "$output"
        [ "$(stat -c %s "$output")" -ge 1600000 ] && return 0
    done
}

# e2e_start_map_server: serves E2E_MAP_DIR on kMapServer port 80; every request is logged to
# E2E_DIR/map-server.log.
e2e_start_map_server() {
    python3 -u -m http.server 80 --bind "$kMapServer" --directory "$E2E_MAP_DIR" >"$E2E_DIR/map-server.log" 2>&1 &
    E2E_MAP_SERVER_PID=$!
    e2e_track $E2E_MAP_SERVER_PID
    e2e_require "the map server listens on $kMapServer port 80" e2e_wait 15 e2e_map_server_up
}

e2e_map_server_up() {
    kill -0 "$E2E_MAP_SERVER_PID" 2>/dev/null && timeout 5 bash -c "exec 3<>/dev/tcp/$kMapServer/80" 2>/dev/null
}

# e2e_map_requests PATH: how many GETs of PATH the map server has answered.
e2e_map_requests() {
    grep -c -F "\"GET $1 HTTP/" "$E2E_DIR/map-server.log" || true
}

# e2e_sharp_files: the monthly map files the install folder holds, one a line.
e2e_sharp_files() {
    (cd "$E2E_INSTALL" && ls -- *-5400.jpg *-5400-512.bmp sharp-map-* 2>/dev/null) || true
}
