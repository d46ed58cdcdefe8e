#!/usr/bin/env bash
# Compares one whole timed redraw from prepared files, as orbiscape-render composes it from
# bitmap files, with xplanet (the Debian package) rendering the same frame as a whole process:
# the rectangular projection at 4320 x 2160 (the crop source of a 4K screen) from the same day,
# night and cloud maps. Prints the fastest wall time and the peak memory (maximum resident set,
# from /usr/bin/time -v) of each. Not part of the tests: it installs xplanet for itself.
#
#   tools/compare-xplanet.sh [RUNS]   (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
readonly kRuns=${1:-5}
readonly kSize=4320x2160
readonly kMoment=2024-03-20T15:37:12Z
readonly kXplanetDate=20240320.153712

missing=()
for package in xplanet xplanet-images time; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target orbiscape-render orbiscape-benchmark >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/orbiscape-xplanet.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The maps xplanet ships (day and night, 2048 x 1024) and the program's seed cloud map, as both
# programs take them: xplanet reads the pictures, the redraw reads them prepared at the frame's
# size, as the program prepares its sources.
day=/usr/share/xplanet/images/earth.jpg
night=/usr/share/xplanet/images/night.jpg
clouds=data/clouds.jpg
printf '[earth]\nmap=%s\nnight_map=%s\ncloud_map=%s\n' "$day" "$night" "$PWD/$clouds" >"$work/xplanet.conf"
for map in day night clouds; do
    build/native/tools/orbiscape-benchmark --prepare "${!map}" $kSize "$work/$map.bmp"
done

# measure KEY LABEL COMMAND...: prints the fastest wall time and the largest peak memory of RUNS
# runs, after one run that fills the system's file cache; keeps the wall time in $work/KEY.wall.
measure() {
    local key=$1 name=$2 best= peak=0 run wall rss
    shift 2
    "$@" >/dev/null 2>&1
    for run in $(seq "$kRuns"); do
        /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >/dev/null 2>&1
        read -r wall rss <"$work/time.txt"
        if [ -z "$best" ] || awk -v a="$wall" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$wall; fi
        [ "$rss" -gt "$peak" ] && peak=$rss
    done
    printf '%-58s %8.0f ms %8.1f MiB\n' "$name" "$(awk -v s="$best" 'BEGIN { print s * 1000 }')" \
        "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
    echo "$best" >"$work/$key.wall"
}

echo "One frame at $kSize with day, night and cloud maps, fastest of $kRuns runs:"
measure orbiscape "orbiscape-render --day-file (prepared files to .bmp)" \
    build/native/tools/render_cli/orbiscape-render --day-file "$work/day.bmp" --night-file "$work/night.bmp" \
    --clouds-file "$work/clouds.bmp" --cloud-factor 10 --center-lon 14 --at $kMoment -o "$work/frame.bmp"
for format in png bmp; do
    measure "xplanet-$format" "xplanet -projection rectangular (to .$format)" \
        xplanet -config "$work/xplanet.conf" -projection rectangular -geometry $kSize -num_times 1 \
        -date $kXplanetDate -output "$work/xplanet.$format"
done
ours=$(cat "$work/orbiscape.wall")
for format in png bmp; do
    theirs=$(cat "$work/xplanet-$format.wall")
    awk -v a="$ours" -v b="$theirs" -v f="$format" \
        'BEGIN { printf "orbiscape-render takes %.1f %% of the time of xplanet writing .%s\n", 100 * a / b, f }'
done
