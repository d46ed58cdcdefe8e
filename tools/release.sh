#!/usr/bin/env bash
# Makes a release of Orbiscape from a clean checkout, in one folder ready to publish:
#
#   bash tools/release.sh VERSION --base-url URL [--homepage URL] [--notes FILE] [--out DIR]
#                         [--timestamp-url URL] [--check-reproducible]
#
# VERSION must be the project's version (CMakeLists.txt), and the checkout must hold no change
# and no file that git does not ignore: a release is the commit, nothing else. The folder (by
# default build/release/VERSION, which must not exist yet or be empty) receives:
#   Orbiscape-Setup-VERSION.exe and Orbiscape-VERSION.zip  what users download;
#   Orbiscape.Orbiscape.yaml, .locale.en-US.yaml, .installer.yaml  the winget manifest;
#   orbiscape.json  the Scoop manifest;
#   SHA256SUMS  the hashes of all of these, as published;
#   RELEASE.md  the notes (from --notes), each file with its size and hash, and how to check them.
#
# URL is the address of the folder the files are uploaded to; it names the version as one of its
# path segments (see packaging/make-manifests.py). --homepage is needed outside GitHub.
#
# The commit is exported and built afresh in a temporary folder, without the compiler cache,
# with every time in the packages pinned to the commit's time, so anyone gets the same bytes
# from the same commit. --check-reproducible builds it a second time, in another folder, under
# another time zone, umask and locale, and refuses the release unless the program, the zip and
# the installer come out byte-identical.
#
# With ORBISCAPE_SIGN_CERT and ORBISCAPE_SIGN_PASSWORD set (packaging/sign.sh), the program,
# the uninstaller and the installer are signed with Authenticode; --timestamp-url names an
# RFC 3161 timestamp server to countersign them. The reproducible packages are the unsigned
# ones; the signed program, without its signature, must be the reproducible one.
set -euo pipefail
started=$SECONDS
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

usage() {
    sed -n '4,5p' "$0" | sed 's/^# *//' >&2
    exit 64
}
fail() {
    echo "release: $*" >&2
    exit 1
}

[ $# -ge 1 ] || usage
version=$1
shift
base_url= homepage= notes= out= timestamp_url= check_reproducible=false
while [ $# -gt 0 ]; do
    case $1 in
        --base-url) base_url=${2:?}; shift 2 ;;
        --homepage) homepage=${2:?}; shift 2 ;;
        --notes) notes=${2:?}; shift 2 ;;
        --out) out=${2:?}; shift 2 ;;
        --timestamp-url) timestamp_url=${2:?}; shift 2 ;;
        --check-reproducible) check_reproducible=true; shift ;;
        *) usage ;;
    esac
done
[ -n "$base_url" ] || fail "--base-url is missing: the address of the folder the files are uploaded to"

project_version=$(sed -n 's/^project(Orbiscape VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ "$version" = "$project_version" ] ||
    fail "the version $version is not the project's ($project_version, in CMakeLists.txt)"
changes=$(git status --porcelain --untracked-files=normal)
[ -z "$changes" ] || fail "the checkout has changes; commit or remove them first:
$changes"
if [ -n "$notes" ]; then
    [ -f "$notes" ] || fail "no notes at $notes"
    notes=$(cd "$(dirname "$notes")" && pwd)/$(basename "$notes")
fi
if [ -n "${ORBISCAPE_SIGN_CERT:-}" ]; then
    [ -f "$ORBISCAPE_SIGN_CERT" ] || fail "no certificate at $ORBISCAPE_SIGN_CERT"
    [ -n "${ORBISCAPE_SIGN_PASSWORD+set}" ] || fail "ORBISCAPE_SIGN_CERT is set without ORBISCAPE_SIGN_PASSWORD"
    signed=true
else
    [ -z "${ORBISCAPE_SIGN_PASSWORD:-}" ] || fail "ORBISCAPE_SIGN_PASSWORD is set without ORBISCAPE_SIGN_CERT"
    [ -z "$timestamp_url" ] || fail "--timestamp-url without a certificate to sign with"
    signed=false
fi
out=${out:-build/release/$version}
if [ -e "$out" ] && [ -n "$(ls -A "$out")" ]; then
    fail "$out already holds files; name an empty or new folder with --out"
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)

tools/install-deps.sh
commit=$(git rev-parse HEAD)
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
work=$(mktemp -d "${TMPDIR:-/tmp}/orbiscape-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
setup_name=Orbiscape-Setup-$version.exe
zip_name=Orbiscape-$version.zip

# build_release FOLDER: the commit, exported into FOLDER/src and built in FOLDER/build, with
# its packages in FOLDER/build/packages.
build_release() {
    local folder=$1
    mkdir -p "$folder/src"
    git archive "$commit" | tar -x -C "$folder/src"
    (cd "$folder/src" && cmake --preset windows -B "$folder/build" -DORBISCAPE_COMPILER_CACHE=OFF) \
        >"$folder/configure.log"
    CCACHE_DISABLE=1 cmake --build "$folder/build" -j "$(nproc)" --target orbiscape-packages \
        >"$folder/build.log" || {
        tail -40 "$folder/build.log" >&2
        fail "the build failed (log above)"
    }
}
# What a user runs and downloads, below a build's folder, and the program before it is stripped
# of its debugging information, whose paths must not depend on the folder either.
built_files=(build/packages/work/Orbiscape/orbiscape.exe "build/packages/$zip_name" "build/packages/$setup_name"
    build/app/orbiscape.exe)

echo "== release $version: building commit $commit"
build_release "$work/first"
if $check_reproducible; then
    echo "== building it again in another folder, time zone, umask and locale"
    (
        umask 077
        export TZ=Pacific/Kiritimati LC_ALL=C.UTF-8
        build_release "$work/second build"
    )
    identical=true
    for file in "${built_files[@]}"; do
        if cmp -s "$work/first/$file" "$work/second build/$file"; then
            echo "   identical: $file $(sha256sum <"$work/first/$file" | cut -d' ' -f1)"
        else
            echo "   DIFFERENT: $file"
            identical=false
        fi
    done
    $identical || fail "two builds of $commit differ: the release is not reproducible"
fi

packages="$work/first/build/packages"
folder_options=(--base-url "$base_url")
if [ -n "$homepage" ]; then
    folder_options+=(--homepage "$homepage")
fi
if [ -n "$notes" ]; then
    folder_options+=(--notes "$notes")
fi
if $signed; then
    echo "== signing"
    ORBISCAPE_SIGN_TIMESTAMP_URL=$timestamp_url STRIP=x86_64-w64-mingw32-strip \
        bash packaging/make-packages.sh "$work/first/build/app/orbiscape.exe" "$version" "$work/signed" \
        >/dev/null
    # The signatures must be all that signing added to the reproducible program.
    osslsigncode remove-signature -in "$work/signed/work/Orbiscape/orbiscape.exe" -out "$work/unsigned.exe" \
        >/dev/null
    cmp -s "$work/unsigned.exe" "$work/first/build/packages/work/Orbiscape/orbiscape.exe" ||
        fail "the signed program, without its signature, is not the program that was built"
    packages="$work/signed"
    folder_options+=(--signed)
fi
bash packaging/make-release-folder.sh "$version" "$packages" "$out" "$commit" "${folder_options[@]}"

echo "== release $version in $out ($((SECONDS - started)) s)"
(cd "$out" && for file in *; do
    printf '   %-40s %10s  %s\n' "$file" "$(stat -c %s "$file")" "$(sha256sum <"$file" | cut -d' ' -f1)"
done)
