#!/usr/bin/env bash
# Makes what a Windows user downloads: the installer Orbiscape-Setup-VERSION.exe and the plain
# Orbiscape-VERSION.zip, both holding the same files: orbiscape.exe, its 33 pictures, the
# program's licence and the pictures' licence notes. Run by the Windows build and by the release
# command; by hand:
#
#   packaging/make-packages.sh PROGRAM VERSION OUTPUT_DIR
#
# PROGRAM is the built orbiscape.exe, VERSION the project's version ("2.1.1"). The environment
# may name the tools: MAKENSIS (default makensis), PYTHON (default Debian's /usr/bin/python3,
# which writes the zip) and STRIP (a mingw-w64 strip; without it the program ships with its
# debugging information).
#
# The same program gives the same packages, byte for byte, in any folder, at any time, under any
# umask and locale: every file is packed with the time SOURCE_DATE_EPOCH (seconds since 1970; by
# default the time of the source checkout's last commit), and the zip's order and permissions
# are fixed.
#
# With ORBISCAPE_SIGN_CERT and ORBISCAPE_SIGN_PASSWORD (see sign.sh) the program, the uninstaller
# and the installer are signed; ORBISCAPE_SIGN_TIMESTAMP_URL adds a timestamp.
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
python=${PYTHON:-/usr/bin/python3}

[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || {
    echo "make-packages: the version must be three numbers, not '$version'" >&2
    exit 1
}
[ -f "$program" ] || {
    echo "make-packages: no program at $program" >&2
    exit 1
}
# Half a signing set-up is a mistake, never a reason to publish unsigned files quietly.
if [ -n "${ORBISCAPE_SIGN_CERT:-}" ]; then
    [ -n "${ORBISCAPE_SIGN_PASSWORD+set}" ] || {
        echo "make-packages: ORBISCAPE_SIGN_CERT is given without ORBISCAPE_SIGN_PASSWORD" >&2
        exit 1
    }
    sign_script="$top/packaging/sign.sh"
elif [ -n "${ORBISCAPE_SIGN_PASSWORD:-}" ]; then
    echo "make-packages: ORBISCAPE_SIGN_PASSWORD is given without ORBISCAPE_SIGN_CERT" >&2
    exit 1
else
    sign_script=
fi
# Without a time given, the last commit's; outside a checkout, the newest of the shipped sources.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct 2>/dev/null ||
    find "$top/LICENSE" "$top/data" -type f -printf '%T@\n' | sort -n | tail -1 | cut -d. -f1)}
[[ $epoch =~ ^[0-9]+$ ]] || {
    echo "make-packages: SOURCE_DATE_EPOCH must be seconds since 1970, not '$epoch'" >&2
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
if [ -n "$sign_script" ]; then
    bash "$sign_script" "$stage/orbiscape.exe"
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
# The installer keeps each file's time and gives it to the installed copy; the zip has it too.
find "$stage" -exec touch -h -d "@$epoch" {} +

# The installer installs, and its uninstaller removes, exactly the staged files.
file_list="$work/shipped-files.nsh"
{
    echo '!macro ForEachShippedFile ACTION'
    (cd "$stage" && find . -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort) |
        while read -r file; do echo "    !insertmacro \${ACTION} \"$file\""; done
    echo '!macroend'
} >"$file_list"

# The uninstaller is signed as the installer makes it, before it is packed into the installer.
signing=()
if [ -n "$sign_script" ]; then
    signing=("-DSIGN_SCRIPT=$sign_script")
fi
"$makensis" -V2 -NOCD \
    "-DVERSION=$version" "-DSTAGE_DIR=$stage" "-DFILE_LIST=$file_list" \
    "-DICON=$top/resources/orbiscape.ico" "-DOUT_FILE=$setup.partial" "${signing[@]}" \
    "$top/packaging/orbiscape.nsi"
mv -f "$setup.partial" "$setup"

"$python" "$top/packaging/make-zip.py" "$zip.partial" "$work" Orbiscape "$epoch"
mv -f "$zip.partial" "$zip"

echo "make-packages: $setup ($(stat -c %s "$setup") bytes), $zip ($(stat -c %s "$zip") bytes)"
