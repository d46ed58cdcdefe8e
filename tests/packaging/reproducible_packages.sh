#!/usr/bin/env bash
# The same sources give the same downloads, byte for byte. The program is compiled a second
# time, without the compiler cache, from a copy of the sources in another folder; then the
# build's program and the new one are each packed, in two other folders, under two time zones,
# umasks and locales, at other times. The shipped program, the zip and the installer of the two
# must be identical. (tools/release.sh --check-reproducible does the same for a whole release.)
#
# ctest passes ORBISCAPE_EXE (the build's program), ORBISCAPE_SOURCE_DIR, ORBISCAPE_VERSION,
# MAKENSIS and STRIP. Prints the hashes and how long each step took.
set -euo pipefail
: "${ORBISCAPE_EXE:?}" "${ORBISCAPE_SOURCE_DIR:?}" "${ORBISCAPE_VERSION:?}" "${MAKENSIS:?}" "${STRIP:?}"

work=$(mktemp -d "${TMPDIR:-/tmp}/orbiscape-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Any fixed time: both packings must give it to every file.
export SOURCE_DATE_EPOCH=1767225600
began=$SECONDS

# The sources as they are now, committed or not, in a folder of another name and depth.
copy="$work/another checkout/orbiscape"
mkdir -p "$copy"
(cd "$ORBISCAPE_SOURCE_DIR" && git ls-files -z --cached --others --exclude-standard |
    tar --null --ignore-failed-read -T - -c 2>/dev/null) | tar -x -C "$copy"
(cd "$copy" && cmake --preset windows -B "$work/build" -DORBISCAPE_COMPILER_CACHE=OFF) >"$work/configure.log"
CCACHE_DISABLE=1 cmake --build "$work/build" -j "$(nproc)" --target orbiscape >"$work/build.log" || {
    tail -40 "$work/build.log"
    exit 1
}
compiled=$SECONDS
echo "compiled again without the cache in $((compiled - began)) s"

# pack PROGRAM FOLDER: the packages of PROGRAM in FOLDER, as the Windows build makes them.
pack() {
    mkdir -p "$2"
    bash "$ORBISCAPE_SOURCE_DIR/packaging/make-packages.sh" "$1" "$ORBISCAPE_VERSION" "$2" >/dev/null
}
(umask 022 && TZ=UTC LC_ALL=C pack "$ORBISCAPE_EXE" "$work/first")
(umask 077 && TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 pack "$work/build/app/orbiscape.exe" "$work/second packing")
echo "packed twice in $((SECONDS - compiled)) s"

failed=0
for file in work/Orbiscape/orbiscape.exe "Orbiscape-$ORBISCAPE_VERSION.zip" "Orbiscape-Setup-$ORBISCAPE_VERSION.exe"; do
    first=$(sha256sum <"$work/first/$file" | cut -d' ' -f1)
    second=$(sha256sum <"$work/second packing/$file" | cut -d' ' -f1)
    if [ "$first" = "$second" ]; then
        echo "ok - $(basename "$file") is identical: $first"
    else
        echo "not ok - $(basename "$file") differs: $first and $second"
        failed=$((failed + 1))
    fi
done
echo "reproducible packages: $((3 - failed)) passed, $failed failed in $((SECONDS - began)) s"
[ "$failed" -eq 0 ]
