#!/usr/bin/env bash
# Lays out a release folder from a build's packages, as tools/release.sh publishes it:
#
#   packaging/make-release-folder.sh VERSION PACKAGES OUT COMMIT --base-url URL
#                                    [--homepage URL] [--notes FILE] [--signed]
#
# PACKAGES holds Orbiscape-Setup-VERSION.exe and Orbiscape-VERSION.zip; OUT, an empty folder,
# receives them with the winget and Scoop manifests (made by make-manifests.py and checked by
# validate-manifests.py), SHA256SUMS of the files as published and RELEASE.md, which lists each
# file with its size and hash, after the notes of FILE. COMMIT is the commit they were built
# from, SOURCE_DATE_EPOCH its time; --signed says that the files carry signatures.
set -euo pipefail

if [ $# -lt 4 ]; then
    sed -n '4,5p' "$0" | sed 's/^# *//' >&2
    exit 64
fi
version=$1 packages=$2 out=$3 commit=$4
shift 4
base_url= homepage= notes= signed=false
while [ $# -gt 0 ]; do
    case $1 in
        --base-url) base_url=${2:?}; shift 2 ;;
        --homepage) homepage=${2:?}; shift 2 ;;
        --notes) notes=${2:?}; shift 2 ;;
        --signed) signed=true; shift ;;
        *) echo "make-release-folder: unknown option $1" >&2; exit 64 ;;
    esac
done
: "${SOURCE_DATE_EPOCH:?make-release-folder: SOURCE_DATE_EPOCH must give the time of the commit}"
here=$(cd "$(dirname "$0")" && pwd)
python=${PYTHON:-/usr/bin/python3}
setup=Orbiscape-Setup-$version.exe
zip=Orbiscape-$version.zip
release_date=$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)

cp "$packages/$setup" "$packages/$zip" "$out/"
"$python" "$here/make-manifests.py" --version "$version" --base-url "$base_url" --homepage "$homepage" \
    --installer "$out/$setup" --zip "$out/$zip" --release-date "$release_date" --out "$out"
"$python" "$here/validate-manifests.py" "$out" >"$out/.validation" || {
    cat "$out/.validation" >&2
    rm -f "$out/.validation"
    echo "make-release-folder: the manifests are not valid" >&2
    exit 1
}
rm -f "$out/.validation"

published=("$setup" "$zip" Orbiscape.Orbiscape.yaml Orbiscape.Orbiscape.locale.en-US.yaml
    Orbiscape.Orbiscape.installer.yaml orbiscape.json)
(cd "$out" && sha256sum "${published[@]}") >"$out/SHA256SUMS"

hash_of() { sha256sum <"$1" | cut -d' ' -f1; }
if $signed; then
    signature="The program, its uninstaller and the installer are signed with Authenticode: their
Properties, Digital Signatures name the publisher. Built again from the commit, they come out
unsigned; \`osslsigncode remove-signature\` turns the signed \`orbiscape.exe\` back into the
rebuilt one, byte for byte."
else
    signature="The program and the installer are not signed, so Windows may warn about an unknown
publisher (\"Windows protected your PC\"): compare the hash first, then choose \"More info\" and
\"Run anyway\"."
fi
{
    echo "# Orbiscape $version"
    echo
    if [ -n "$notes" ]; then
        cat "$notes"
        echo
    fi
    echo "Built from commit \`$commit\`, made on $release_date."
    echo
    echo "| File | Bytes | SHA-256 |"
    echo "|---|---|---|"
    for file in "${published[@]}" SHA256SUMS; do
        echo "| \`$file\` | $(stat -c %s "$out/$file") | \`$(hash_of "$out/$file")\` |"
    done
    echo
    echo "## Checking a download"
    echo
    echo "In PowerShell, \`Get-FileHash .\\$setup\` prints the file's SHA-256, which must be the one"
    echo "above (in capitals); in a command prompt, \`certutil -hashfile $setup SHA256\`; elsewhere,"
    echo "\`sha256sum -c SHA256SUMS\` beside the downloaded files."
    echo
    echo "$signature"
    echo
    echo "## Building it yourself"
    echo
    echo "From a checkout of commit \`$commit\` on Debian 12, \`bash tools/release.sh $version"
    echo "--base-url URL\` builds the same installer and zip, byte for byte."
} >"$out/RELEASE.md"
