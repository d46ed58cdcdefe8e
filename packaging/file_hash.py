"""The SHA-256 of a file, as the manifests and SHA256SUMS give it: 64 small hexadecimal digits."""
import hashlib


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as source:
        for block in iter(lambda: source.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()
