#!/usr/bin/env python3
"""Fills the package-manager manifests of packaging/manifests for one release.

    make-manifests.py --version V --base-url URL [--homepage URL] --installer FILE --zip FILE
                      --release-date YYYY-MM-DD --out DIR

Writes the winget manifest (its version, default-locale and installer files) and the Scoop
manifest into DIR, with the version, the download addresses and the SHA-256 of the installer
and the zip filled in.

BASE_URL is the address of the folder the release's files are uploaded to. It names the
version as one of its path segments ("2.1.1" or "v2.1.1"), which is the pattern that Scoop's
autoupdate and checkver follow to find later releases:
  - a GitHub release, https://github.com/OWNER/REPO/releases/download/vVERSION, is looked up
    through GitHub; its home page is the repository and its notes are the release's page;
  - any other address has its versions listed, oldest first, at the address above the
    version's segment, and its notes in RELEASE.md beside the files.
"""
import argparse
import json
import os
import re
import sys

from file_hash import sha256_of

TEMPLATES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "manifests")
# Text that goes into a quoted YAML or JSON string as it is: no quote, backslash or blank.
SAFE_URL = re.compile(r"^https://[^\s\"\\]+$")
GITHUB_RELEASE = re.compile(r"^(https://github\.com/[^/]+/[^/]+)/releases/download/([^/]+)$")


class ReleaseError(Exception):
    pass


def address_values(version, base_url, homepage):
    """The addresses each manifest names, from the release folder's address."""
    base_url = base_url.rstrip("/")
    if not SAFE_URL.match(base_url):
        raise ReleaseError(f"the base address must be https:// without blanks or quotes, not '{base_url}'")
    segments = base_url.split("/")
    tagged = [i for i, segment in enumerate(segments) if segment in (version, "v" + version)]
    if len(tagged) != 1 or tagged[0] < 3:
        raise ReleaseError(f"the base address must name the version {version} (or v{version}) in one "
                           f"of its path segments, as every release's address does: '{base_url}'")
    segment = segments[tagged[0]]
    pattern = "/".join(segments[:tagged[0]] + [segment.replace(version, "$version")] + segments[tagged[0] + 1:])
    github = GITHUB_RELEASE.match(base_url)
    if github:
        repository = github.group(1)
        checkver = {"github": repository}
        notes = f"{repository}/releases/tag/{segment}"
        homepage = homepage or repository
    else:
        listing = "/".join(segments[:tagged[0]]) + "/"
        checkver = {"url": listing, "regex": re.escape(segment).replace(re.escape(version), r"([\d.]+)") + "/",
                    "reverse": True}
        notes = f"{base_url}/RELEASE.md"
    if not homepage:
        raise ReleaseError("a release outside GitHub needs its home page: --homepage URL")
    if not SAFE_URL.match(homepage):
        raise ReleaseError(f"the home page must be https:// without blanks or quotes, not '{homepage}'")
    return {
        "HOMEPAGE": homepage,
        "RELEASE_NOTES_URL": notes,
        "INSTALLER_URL": f"{base_url}/Orbiscape-Setup-{version}.exe",
        "ZIP_URL": f"{base_url}/Orbiscape-{version}.zip",
        "ZIP_URL_PATTERN": f"{pattern}/Orbiscape-$version.zip",
        "CHECKVER": json.dumps(checkver),
    }


def fill(template, values):
    return re.sub(r"@([A-Z0-9_]+)@", lambda match: values[match.group(1)], template)


def main(argv):
    parser = argparse.ArgumentParser(description="Fills the package-manager manifests for one release.")
    parser.add_argument("--version", required=True)
    parser.add_argument("--base-url", required=True)
    parser.add_argument("--homepage", default="")
    parser.add_argument("--installer", required=True)
    parser.add_argument("--zip", required=True)
    parser.add_argument("--release-date", required=True)
    parser.add_argument("--out", required=True)
    arguments = parser.parse_args(argv[1:])
    try:
        if not re.fullmatch(r"\d+\.\d+\.\d+", arguments.version):
            raise ReleaseError(f"the version must be three numbers, not '{arguments.version}'")
        if not re.fullmatch(r"\d{4}-\d{2}-\d{2}", arguments.release_date):
            raise ReleaseError(f"the release date must be YYYY-MM-DD, not '{arguments.release_date}'")
        values = address_values(arguments.version, arguments.base_url, arguments.homepage)
    except ReleaseError as error:
        sys.stderr.write(f"make-manifests: {error}\n")
        return 1
    values.update({
        "VERSION": arguments.version,
        "RELEASE_DATE": arguments.release_date,
        # winget's own manifests spell hashes in capitals, Scoop's in small letters.
        "INSTALLER_SHA256": sha256_of(arguments.installer).upper(),
        "ZIP_SHA256": sha256_of(arguments.zip),
    })
    for name in sorted(os.listdir(TEMPLATES)):
        with open(os.path.join(TEMPLATES, name), encoding="utf-8") as template:
            text = fill(template.read(), values)
        with open(os.path.join(arguments.out, name), "w", encoding="utf-8", newline="\n") as manifest:
            manifest.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
