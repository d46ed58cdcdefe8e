#!/usr/bin/env bash
# Makes what a Windows user downloads: the installer Orbiscape-Setup-VERSION.exe and the plain
# Orbiscape-VERSION.zip, both holding the same files: orbiscape.exe, its 33 pictures, the
# program's licence and the pictures' licence notes. Run by the Windows build; by hand:
#
#   packaging/make-packages.sh PROGRAM VERSION OUTPUT_DIR
#
# PROGRAM is the built orbiscape.exe, VERSION the project's version ("2.1.1"). The environment
# may name the tools: MAKENSIS (default makensis), CMAKE (default cmake, which writes the zip)
# and STRIP (a mingw-w64 strip; without it the program ships with its debugging information).
#
# Each package is written under a temporary name and renamed into place, so a failed run
# never leaves a package that looks finished.
set -euo pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 PROGRAM VERSION OUTPUT_DIR" >&2
    exit 64
fi
program=$1 version=$2 output=$3
top=$(cd "$(dirname "$0")/.." && pwd)
makensis=${MAKENSIS:-makensis}
cmake=${CMAKE:-cmake}

[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || {
    echo "make-packages: the version must be three numbers, not '$version'" >&2
    exit 1
}
[ -f "$program" ] || {
    echo "make-packages: no program at $program" >&2
    exit 1
}

setup="$output/Orbiscape-Setup-$version.exe"
zip="$output/Orbiscape-$version.zip"
work="$output/work"
# The folder the zip unpacks to, and the installer's files.
stage="$work/Orbiscape"
rm -rf "$work"
mkdir -p "$stage"

if [ -n "${STRIP:-}" ]; then
    "$STRIP" -o "$stage/orbiscape.exe" "$program"
else
    cp "$program" "$stage/orbiscape.exe"
fi
cp "$top"/data/*.jpg "$stage/"
pictures=$(find "$stage" -name '*.jpg' | wc -l)
[ "$pictures" -eq 33 ] || {
    echo "make-packages: data/ holds $pictures pictures, not 33" >&2
    exit 1
}
# Text files with Windows line ends, so that every editor there shows their lines.
to_windows_text() { sed 's/\r*$/\r/' "$1" >"$2"; }
to_windows_text "$top/LICENSE" "$stage/LICENSE.txt"
to_windows_text "$top/data/PICTURE-LICENSES.txt" "$stage/PICTURE-LICENSES.txt"
to_windows_text "$top/data/GPL-2.txt" "$stage/GPL-2.txt"

# The installer installs, and its uninstaller removes, exactly the staged files.
file_list="$work/shipped-files.nsh"
{
    echo '!macro ForEachShippedFile ACTION'
    (cd "$stage" && find . -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort) |
        while read -r file; do echo "    !insertmacro \${ACTION} \"$file\""; done
    echo '!macroend'
} >"$file_list"

"$makensis" -V2 -NOCD \
    "-DVERSION=$version" "-DSTAGE_DIR=$stage" "-DFILE_LIST=$file_list" \
    "-DICON=$top/resources/orbiscape.ico" "-DOUT_FILE=$setup.partial" \
    "$top/packaging/orbiscape.nsi"
mv -f "$setup.partial" "$setup"

(cd "$work" && "$cmake" -E tar cf "$zip.partial" --format=zip Orbiscape)
mv -f "$zip.partial" "$zip"

echo "make-packages: $setup ($(stat -c %s "$setup") bytes), $zip ($(stat -c %s "$zip") bytes)"
