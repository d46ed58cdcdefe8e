#!/usr/bin/python3
"""Checks a release folder's package-manager manifests, offline:

    validate-manifests.py FOLDER

Each winget file (version, default locale, installer) and the Scoop manifest must be valid
under its package manager's own JSON schema, kept in packaging/schemas; the three winget files
must name the same package, version and locale; and the installer and the zip that the
manifests point to, where they lie in FOLDER, must have the hashes the manifests give. Prints
one line per file checked and every fault found, and exits with 1 when there is one.

Runs on Debian's python3 with python3-jsonschema and python3-yaml.
"""
import json
import os
import sys

import jsonschema
import yaml

from file_hash import sha256_of

SCHEMAS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "schemas")
PACKAGE = "Orbiscape.Orbiscape"
# Manifest file, its schema, and whether it is YAML (winget) or JSON (Scoop).
MANIFESTS = [
    (f"{PACKAGE}.yaml", "winget/manifest.version.1.10.0.json"),
    (f"{PACKAGE}.locale.en-US.yaml", "winget/manifest.defaultLocale.1.10.0.json"),
    (f"{PACKAGE}.installer.yaml", "winget/manifest.installer.1.10.0.json"),
    ("orbiscape.json", "scoop/schema.json"),
]


def load(path):
    with open(path, encoding="utf-8") as source:
        return yaml.safe_load(source) if path.endswith(".yaml") else json.load(source)


def schema_faults(document, schema_file):
    with open(os.path.join(SCHEMAS, schema_file), encoding="utf-8") as source:
        schema = json.load(source)
    validator_class = jsonschema.validators.validator_for(schema)
    validator = validator_class(schema, format_checker=jsonschema.FormatChecker())
    return [f"{'/'.join(str(part) for part in error.absolute_path) or '(top)'}: {error.message}"
            for error in sorted(validator.iter_errors(document), key=lambda error: list(error.absolute_path))]


def hash_faults(folder, url, expected):
    """The file the address names, where it lies in the folder, must have the expected hash."""
    path = os.path.join(folder, url.rsplit("/", 1)[-1])
    if not os.path.exists(path):
        return []
    actual = sha256_of(path)
    return [] if actual == expected.lower() else [f"{os.path.basename(path)} has SHA-256 {actual}, not {expected}"]


def agreement_faults(documents):
    """The winget files describe one version of one package, the one the Scoop manifest names."""
    version, locale, installer, scoop = documents
    winget = (version, locale, installer)
    faults = []
    identifiers = {document.get("PackageIdentifier") for document in winget}
    if identifiers != {PACKAGE}:
        faults.append(f"the winget files name {sorted(map(str, identifiers))}, not only {PACKAGE}")
    versions = {document.get("PackageVersion") for document in winget} | {scoop.get("version")}
    if len(versions) != 1:
        faults.append(f"the manifests name different versions: {sorted(map(str, versions))}")
    if locale.get("PackageLocale") != version.get("DefaultLocale"):
        faults.append("the default locale file is not for the version file's DefaultLocale")
    return faults


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(f"usage: {argv[0]} FOLDER\n")
        return 64
    folder = argv[1]
    documents = []
    faults = 0
    for name, schema_file in MANIFESTS:
        try:
            document = load(os.path.join(folder, name))
        except (OSError, ValueError, yaml.YAMLError) as error:
            print(f"{name}: cannot be read: {error}")
            return 1
        documents.append(document if isinstance(document, dict) else {})
        found = schema_faults(document, schema_file)
        print(f"{name}: {'valid' if not found else 'INVALID'} under {schema_file}")
        for fault in found:
            print(f"    {fault}")
        faults += len(found)
    installer, scoop = documents[2], documents[3]
    found = agreement_faults(documents)
    for entry in installer.get("Installers", []):
        found += hash_faults(folder, entry.get("InstallerUrl", ""), entry.get("InstallerSha256", ""))
    for entry in scoop.get("architecture", {}).values():
        found += hash_faults(folder, entry.get("url", ""), entry.get("hash", ""))
    for fault in found:
        print(f"fault: {fault}")
    faults += len(found)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
