#!/usr/bin/env bash
# Measures orbiscape.exe over a long run of timed redraws: with UpdateFreq 1000 (a redraw every
# second) it runs under Wine, on a virtual desktop of DESKTOP pixels (1280x1024 unless given; a
# wide one such as 11520x2160 stands for three monitors) and in a fresh prefix of its own, until
# it has redrawn REDRAWS times (300 unless given; about five minutes). After the first frame and
# after every hundred redraws it records the memory of the program's process, Linux's view (VmRSS,
# VmHWM, the peak since the start, preparation of the sources included) and Windows' (working
# set, peak working set, committed private memory), and its kernel handles and GDI objects, and
# prints them as a table, also kept in build/run/redraws.txt, with the time from the start to the
# first frame, the CPU time the process spent per timed redraw (user and system, from the first
# frame on), the working files' sizes, and what the redraws would write to the disk in a day at
# the default redraw period.
#
#   tools/measure-redraws.sh [REDRAWS] [DESKTOP] [SHARP_MAP]
#
# With SHARP_MAP (a JPEG of 5400 x 2700 pixels, 1.5 to 4 MB, with land and sea where the Earth has
# them) the program has the monthly maps on, and a server on 127.0.0.2 port 80 (root, and the port
# free) serves that file as the month's map; the first column is then taken once the map has been
# downloaded, checked, installed and the sources prepared from it, so that the peak counts all of
# that. In January and July, whose maps are known to the byte, March is shown instead.
#
# With "day" it measures instead what a day with nobody at the screen for 16 hours writes, on a
# DESKTOP of 3840x2160 unless given: a day of 288 redraw periods (as many as a day has at the
# default period of 5 minutes), each compressed to a second, of which the session is locked for
# the first 192 (16 hours) and seen for the next 96 (8 hours). It counts the frames and the bytes
# that the program writes to its files (the process's write_bytes) in each part, and compares the
# day's bytes with those of a day in which the desktop is seen throughout.
#
#   tools/measure-redraws.sh day [DESKTOP]
#
# Redraws are counted from "current.bmp": every redraw writes a new file and renames it into
# place, so each new inode and modification time is one redraw.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
source tools/wine-session.sh
orbiscape_wine_fixed_layout "$top/tools/measure-redraws.sh" "$@"
if [ "${1:-}" = day ]; then
    readonly kMode=day kRedraws=0 kDesktop=${2:-3840x2160} kSharpMap=
else
    readonly kMode=redraws kRedraws=${1:-300} kDesktop=${2:-1280x1024} kSharpMap=${3:-}
fi
readonly kSharpMapServer=127.0.0.2
readonly kPeriodsLocked=192 kPeriodsSeen=96
readonly kLock=7 kUnlock=8
readonly kUpdateFreq=1000
readonly kDefaultUpdateFreq=300000
readonly kSampleEvery=100
readonly kSampleSeconds=0.2
# A redraw that never comes: the run stops rather than waiting for ever.
readonly kStallSeconds=60

tools/install-deps.sh
source tools/wine-desktop.sh
ORBISCAPE_DESKTOP_SIZE=$kDesktop
mkdir -p build/run
echo "Building orbiscape.exe for Windows (log: build/run/build.log)"
orbiscape_build_windows_program build/run/build.log
probe="$top/$ORBISCAPE_WINDOWS_PROBE"

work=$(mktemp -d "${TMPDIR:-/tmp}/orbiscape-measure.XXXXXX")
install="$work/install"
end_everything() {
    trap - EXIT INT TERM
    if [ -n "${WINEPREFIX:-}" ] && orbiscape_program_linux_pid >/dev/null; then
        timeout 30 wine "$probe" choose-tray-exit >/dev/null 2>&1 || true
        sleep 2
    fi
    orbiscape_wine_stop
    rm -rf "$work"
}
trap end_everything EXIT
trap 'exit 130' INT TERM

month=$((10#$(date -u +%m)))
if [ -n "$kSharpMap" ]; then
    [ "$month" != 1 ] && [ "$month" != 7 ] || month=3
    mkdir -p "$work/map-server"
    cp "$kSharpMap" "$work/map-server/$(printf %02d $month).jpg"
    python3 -m http.server 80 --bind $kSharpMapServer --directory "$work/map-server" >"$work/map-server.log" 2>&1 &
    map_server_pid=$!
    trap 'kill $map_server_pid 2>/dev/null; end_everything' EXIT
fi

echo "Starting orbiscape.exe with a redraw every $kUpdateFreq ms on a virtual desktop of $kDesktop"
orbiscape_wine_start "$work/wine" xvfb
orbiscape_use_virtual_desktop
orbiscape_lay_out_install "$install" "$ORBISCAPE_WINDOWS_PROGRAM" data
timeout 60 wine reg add 'HKCU\Software\Orbiscape' /v UpdateFreq /t REG_DWORD /d $kUpdateFreq /f >/dev/null
if [ -n "$kSharpMap" ]; then
    timeout 60 wine reg add 'HKCU\Software\Orbiscape' /v DaytimeImage /t REG_DWORD /d $month /f >/dev/null
    timeout 60 wine reg add 'HKCU\Software\Orbiscape' /v SharpMaps /t REG_DWORD /d 1 /f >/dev/null
    timeout 60 wine reg add 'HKCU\Software\Orbiscape' /v SharpMapSources /t REG_MULTI_SZ \
        /d "http://$kSharpMapServer/{MM}.jpg" /f >/dev/null
fi
started_at=$(date +%s.%N)
orbiscape_start_on_desktop "$install" "$work/orbiscape.log"

deadline=$((SECONDS + 120))
until orbiscape_frame_shown "$probe" "$install"; do
    [ $SECONDS -lt $deadline ] || { echo "No first frame within 120 s" >&2; exit 1; }
    sleep 0.5
done
first_frame_seconds=$(awk -v a="$started_at" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
pid=$(orbiscape_program_linux_pid)

# sample LABEL: one column of the table, in the arrays below.
labels=()
declare -A values
sample() {
    local column=${#labels[@]} name value
    labels+=("$1")
    while read -r name value; do
        values[$name,$column]=$value
    done < <(
        awk '$1 == "VmRSS:" || $1 == "VmHWM:" { printf "linux_%s %d\n", tolower(substr($1, 3, 3)), $2 }' \
            "/proc/$pid/status"
        (cd "$install" && timeout 60 wine "$probe" process-resources orbiscape.exe) | tr -d '\r'
    )
}

# The process's user and system time so far, in clock ticks.
cpu_ticks() {
    # The name in field 2 has no blanks ("orbiscape.exe"), so fields 14 and 15 are the times.
    awk '{ print $14 + $15 }' "/proc/$pid/stat"
}

# frames_during SECONDS: how many new frames come in that time.
frames_during() {
    local deadline=$((SECONDS + $1)) frames=0 now stamp
    stamp=$(orbiscape_frame_stamp "$install")
    while [ $SECONDS -lt $deadline ]; do
        sleep $kSampleSeconds
        now=$(orbiscape_frame_stamp "$install")
        if [ -n "$now" ] && [ "$now" != "$stamp" ]; then
            stamp=$now
            frames=$((frames + 1))
        fi
    done
    echo "$frames"
}

# The bytes the program has written to files so far.
bytes_written() {
    awk '$1 == "write_bytes:" { print $2 }' "/proc/$pid/io"
}

# session_change EVENT: the program's tray window told of a lock or an unlock, as the system
# tells it.
session_change() {
    (cd "$install" && timeout 60 wine "$probe" session-change "$1") >/dev/null
}

measure_day() {
    local period_seconds=$((kUpdateFreq / 1000)) frames_locked frames_seen locked seen written
    echo "First frame shown; the session locked for $kPeriodsLocked periods, then seen for $kPeriodsSeen"
    session_change $kLock
    written=$(bytes_written)
    frames_locked=$(frames_during $((kPeriodsLocked * period_seconds)))
    locked=$(($(bytes_written) - written))
    session_change $kUnlock
    written=$(bytes_written)
    frames_seen=$(frames_during $((kPeriodsSeen * period_seconds)))
    session_change $kLock
    seen=$(($(bytes_written) - written))
    local frame
    frame=$(stat -c %s "$install/current.bmp")
    {
        echo "A day of $((kPeriodsLocked + kPeriodsSeen)) redraw periods of $kUpdateFreq ms on a $kDesktop desktop (a frame is $frame bytes):"
        echo "  locked for $kPeriodsLocked periods (16 hours): $frames_locked frames, $locked bytes written"
        echo "  seen for $kPeriodsSeen periods (8 hours): $frames_seen frames, $seen bytes written"
        awk -v locked="$locked" -v seen="$seen" -v frame="$frame" -v periods=$((kPeriodsLocked + kPeriodsSeen)) 'BEGIN {
            all = periods * frame
            printf "Written per day: %.2f GB, against %.2f GB (%d frames) with the desktop seen all day: %.2f of it\n",
                (locked + seen) / 1e9, all / 1e9, periods, (locked + seen) / all }'
    } | tee build/run/unseen-day.txt
}

if [ "$kMode" = day ]; then
    measure_day
    exit 0
fi

if [ -n "$kSharpMap" ]; then
    sharp_map="$install/$(printf %02d $month)-5400.jpg"
    deadline=$((SECONDS + 120))
    until [ -f "$sharp_map" ] && [ "$(stat -c %Y "$install/current.bmp")" -ge "$(stat -c %Y "$sharp_map")" ]; do
        [ $SECONDS -lt $deadline ] || { echo "The monthly map was not installed and drawn within 120 s" >&2; exit 1; }
        sleep 0.5
    done
    # The redraw that follows the installation prepares the sources from the new map.
    sleep 3
    echo "Monthly map downloaded, installed and drawn; counting $kRedraws timed redraws"
    sample "monthly map"
else
    echo "First frame shown; counting $kRedraws timed redraws"
    sample "first frame"
fi
ticks_at_first_frame=$(cpu_ticks)
started=$SECONDS
redraws=0
stamp=$(orbiscape_frame_stamp "$install")
last_redraw=$SECONDS
while [ $redraws -lt "$kRedraws" ]; do
    sleep $kSampleSeconds
    now=$(orbiscape_frame_stamp "$install")
    if [ -n "$now" ] && [ "$now" != "$stamp" ]; then
        stamp=$now
        redraws=$((redraws + 1))
        last_redraw=$SECONDS
        if [ $((redraws % kSampleEvery)) -eq 0 ]; then
            sample "$redraws redraws"
        fi
    elif [ $((SECONDS - last_redraw)) -ge $kStallSeconds ]; then
        echo "No redraw for $kStallSeconds s after $redraws redraws" >&2
        exit 1
    fi
done
duration=$((SECONDS - started))
ticks_per_redraws=$(($(cpu_ticks) - ticks_at_first_frame))
[ $((redraws % kSampleEvery)) -eq 0 ] || sample "$redraws redraws"

kib() { [ -n "${1:-}" ] && echo "$(($1 / 1024))" || echo "-"; }
report() {
    local rows=(
        "linux_rss|VmRSS (KiB)|plain"
        "linux_hwm|VmHWM (KiB)|plain"
        "working_set_bytes|working set (KiB)|kib"
        "peak_working_set_bytes|peak working set (KiB)|kib"
        "commit_bytes|committed private (KiB)|kib"
        "handles|kernel handles|plain"
        "gdi_objects|GDI objects|plain"
    )
    local row key title unit column
    printf '%-26s' ""
    for column in "${!labels[@]}"; do printf '%16s' "${labels[$column]}"; done
    printf '\n'
    for row in "${rows[@]}"; do
        IFS='|' read -r key title unit <<<"$row"
        printf '%-26s' "$title"
        for column in "${!labels[@]}"; do
            if [ "$unit" = kib ]; then
                printf '%16s' "$(kib "${values[$key,$column]:-}")"
            else
                printf '%16s' "${values[$key,$column]:--}"
            fi
        done
        printf '\n'
    done
    echo "handles counted by: ${values[handle_source,0]:-?}; GDI objects counted by: ${values[gdi_source,0]:-?}"
    echo "$redraws timed redraws in $duration s (UpdateFreq $kUpdateFreq ms)"
    awk -v ticks="$ticks_per_redraws" -v hz="$(getconf CLK_TCK)" -v redraws="$redraws" \
        'BEGIN { printf "CPU time per timed redraw: %.1f ms (user and system, %d ticks of %d Hz)\n", 1000 * ticks / hz / redraws, ticks, hz }'
    echo "From the start to the first frame (Wine's start and the preparation of the sources included): $first_frame_seconds s"
    echo "Working files on the $kDesktop desktop (bytes):"
    local file total=0
    for file in "$install"/*.bmp; do
        printf '  %-22s %12d\n' "$(basename "$file")" "$(stat -c %s "$file")"
        total=$((total + $(stat -c %s "$file")))
    done
    printf '  %-22s %12d\n' "all" "$total"
    awk -v frame="$(stat -c %s "$install/current.bmp")" -v period=$kDefaultUpdateFreq \
        'BEGIN { printf "Written per day by the timed redraws at the default period of %d s: %.0f MB\n", period / 1000, 86400000 / period * frame / 1e6 }'
}
report | tee build/run/redraws.txt
