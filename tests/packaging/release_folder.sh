#!/usr/bin/env bash
# The release command's refusals and the folder it publishes, without a release build:
# - tools/release.sh refuses, before it builds anything, a version that is not the project's, a
#   checkout with a stray or a changed file, a certificate without its password and a missing
#   download address;
# - a release folder laid out from the build's packages holds them unchanged, manifests valid
#   under the package managers' own schemas that give the packages' addresses and hashes, the
#   installer's uninstall key as its product code and Scoop's autoupdate pattern, a SHA256SUMS
#   that sha256sum accepts and a RELEASE.md that lists every file with its size and hash;
# - the validator rejects a manifest whose fields break the schema or whose hash is not the
#   file's, and an address that does not name the version is refused.
#
# ctest passes ORBISCAPE_SETUP, ORBISCAPE_ZIP, ORBISCAPE_VERSION and ORBISCAPE_SOURCE_DIR.
set -euo pipefail
: "${ORBISCAPE_SETUP:?}" "${ORBISCAPE_ZIP:?}" "${ORBISCAPE_VERSION:?}" "${ORBISCAPE_SOURCE_DIR:?}"
readonly version=$ORBISCAPE_VERSION source=$ORBISCAPE_SOURCE_DIR
readonly python=/usr/bin/python3

work=$(mktemp -d "${TMPDIR:-/tmp}/orbiscape-release-folder.XXXXXX")
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
check() {
    local description=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "ok - $description"
    else
        failed=$((failed + 1))
        echo "not ok - $description"
    fi
}
check_equal() {
    if [ "$2" = "$3" ]; then
        check "$1" true
    else
        check "$1 (expected '$2', got '$3')" false
    fi
}

# refused MESSAGE COMMAND...: the command fails, saying MESSAGE.
refused() {
    local message=$1
    shift
    ! "$@" >"$work/refusal.log" 2>&1 && grep -qF -- "$message" "$work/refusal.log"
}
# field FILE KEY...: a value of a YAML or JSON manifest, reached through its keys and list places.
field() {
    "$python" - "$@" <<'PYTHON'
import json, sys, yaml
path, keys = sys.argv[1], sys.argv[2:]
with open(path) as source:
    value = yaml.safe_load(source) if path.endswith(".yaml") else json.load(source)
for key in keys:
    value = value[int(key)] if isinstance(value, list) else value[key]
print(value if isinstance(value, str) else json.dumps(value))
PYTHON
}

# The command's refusals, in a clean clone of the commit.
clone="$work/clone"
git clone --quiet "$source" "$clone"
release() { (cd "$clone" && bash tools/release.sh "$@"); }
github_base="https://github.com/orbiscape/orbiscape/releases/download/v$version"
check "release.sh refuses a version that is not the project's" \
    refused "is not the project's ($version" release 0.0.1 --base-url "$github_base"
check "release.sh refuses a release without its download address" refused "--base-url is missing" release "$version"
touch "$clone/stray.txt"
check "release.sh refuses a checkout with a file that git does not ignore" \
    refused "?? stray.txt" release "$version" --base-url "$github_base"
rm "$clone/stray.txt"
echo >>"$clone/README.md"
check "release.sh refuses a checkout with a changed file" \
    refused " M README.md" release "$version" --base-url "$github_base"
git -C "$clone" checkout --quiet README.md
touch "$work/certificate.pfx"
check "release.sh refuses a certificate without its password" \
    refused "without ORBISCAPE_SIGN_PASSWORD" env ORBISCAPE_SIGN_CERT="$work/certificate.pfx" \
    bash -c 'cd "$1" && bash tools/release.sh "$2" --base-url "$3"' - "$clone" "$version" "$github_base"
check "and builds nothing on the way" test ! -e "$clone/build"

# A release folder from the build's packages, as published on GitHub.
packages=$(dirname "$ORBISCAPE_SETUP")
setup=$(basename "$ORBISCAPE_SETUP") zip=$(basename "$ORBISCAPE_ZIP")
out="$work/release"
mkdir "$out"
export SOURCE_DATE_EPOCH=1767225600
check "a release folder is laid out" bash "$source/packaging/make-release-folder.sh" "$version" "$packages" \
    "$out" 0123456789abcdef0123456789abcdef01234567 --base-url "$github_base"
check_equal "it holds the packages, the manifests, SHA256SUMS and RELEASE.md" \
    "Orbiscape-$version.zip Orbiscape-Setup-$version.exe Orbiscape.Orbiscape.installer.yaml Orbiscape.Orbiscape.locale.en-US.yaml Orbiscape.Orbiscape.yaml RELEASE.md SHA256SUMS orbiscape.json" \
    "$(cd "$out" && LC_ALL=C ls | xargs)"
check "the packages are the build's" cmp -s "$ORBISCAPE_SETUP" "$out/$setup"
check "... both" cmp -s "$ORBISCAPE_ZIP" "$out/$zip"
check "SHA256SUMS holds the hashes of the six published files" \
    bash -c 'cd "$1" && sha256sum --quiet -c SHA256SUMS && [ "$(wc -l <SHA256SUMS)" = 6 ]' - "$out"
"$python" "$source/packaging/validate-manifests.py" "$out" | sed 's/^/   /' || true
check "the manifests are valid under the winget and Scoop schemas" "$python" "$source/packaging/validate-manifests.py" "$out"

installer_manifest="$out/Orbiscape.Orbiscape.installer.yaml"
scoop_manifest="$out/orbiscape.json"
setup_hash=$(sha256sum <"$out/$setup" | cut -d' ' -f1)
zip_hash=$(sha256sum <"$out/$zip" | cut -d' ' -f1)
check_equal "winget downloads the installer from the release" "$github_base/$setup" \
    "$(field "$installer_manifest" Installers 0 InstallerUrl)"
check_equal "... with its hash" "${setup_hash^^}" "$(field "$installer_manifest" Installers 0 InstallerSha256)"
check_equal "... as a per-user NSIS installer" "nullsoft user install" \
    "$(field "$installer_manifest" InstallerType) $(field "$installer_manifest" Scope) $(field "$installer_manifest" UpgradeBehavior)"
nsi="$source/packaging/orbiscape.nsi"
product=$(sed -n 's/^!define PRODUCT "\(.*\)"$/\1/p' "$nsi")
uninstall_key=$(sed -n 's/^!define UNINSTALL_KEY "\(.*\)"$/\1/p' "$nsi")
uninstall_key=${uninstall_key//\$\{PRODUCT\}/$product}
uninstall_key=${uninstall_key##*\\}
check_equal "... whose product code is the uninstall key the installer writes" "$uninstall_key" \
    "$(field "$installer_manifest" ProductCode)"
check_equal "... and its release notes are the release's page" "https://github.com/orbiscape/orbiscape/releases/tag/v$version" \
    "$(field "$out/Orbiscape.Orbiscape.locale.en-US.yaml" ReleaseNotesUrl)"
check_equal "Scoop downloads the zip from the release, with its hash" "$github_base/$zip $zip_hash" \
    "$(field "$scoop_manifest" architecture 64bit url) $(field "$scoop_manifest" architecture 64bit hash)"
check_equal "... and finds later releases through GitHub, by the same pattern" \
    '{"github": "https://github.com/orbiscape/orbiscape"} https://github.com/orbiscape/orbiscape/releases/download/v$version/Orbiscape-$version.zip' \
    "$(field "$scoop_manifest" checkver) $(field "$scoop_manifest" autoupdate architecture 64bit url)"
listed() {
    local file
    for file in "$out"/*; do
        [ "$(basename "$file")" = RELEASE.md ] ||
            grep -qF "| \`$(basename "$file")\` | $(stat -c %s "$file") | \`$(sha256sum <"$file" | cut -d' ' -f1)\` |" \
                "$out/RELEASE.md" || return 1
    done
}
check "RELEASE.md lists every file with its size and hash" listed

# The validator's refusals.
cp -r "$out" "$work/broken"
sed -i 's/^InstallerType: nullsoft$/InstallerType: nsis/' "$work/broken/Orbiscape.Orbiscape.installer.yaml"
printf 'x' >>"$work/broken/$zip"
"$python" "$source/packaging/validate-manifests.py" "$work/broken" >"$work/broken.log" || true
check "the validator rejects a field the schema does not allow" grep -q "InstallerType: 'nsis' is not one of" "$work/broken.log"
check "... and a zip whose hash is not the manifest's" grep -q "fault: $zip has SHA-256" "$work/broken.log"

# Outside GitHub.
mkdir "$work/elsewhere" "$work/unversioned"
check "a release folder for another host is laid out" bash "$source/packaging/make-release-folder.sh" \
    "$version" "$packages" "$work/elsewhere" 0123456789abcdef0123456789abcdef01234567 \
    --base-url "https://downloads.example.org/orbiscape/$version/" --homepage https://orbiscape.example.org
check_equal "... whose versions Scoop looks for in the folder above" \
    '{"url": "https://downloads.example.org/orbiscape/", "regex": "([\\d.]+)/", "reverse": true} https://downloads.example.org/orbiscape/$version/Orbiscape-$version.zip' \
    "$(field "$work/elsewhere/orbiscape.json" checkver) $(field "$work/elsewhere/orbiscape.json" autoupdate architecture 64bit url)"
check "an address that does not name the version is refused" refused "must name the version" \
    bash "$source/packaging/make-release-folder.sh" "$version" "$packages" "$work/unversioned" 0123 \
    --base-url https://downloads.example.org/orbiscape/latest --homepage https://orbiscape.example.org

echo "release folder: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
