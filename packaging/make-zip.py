#!/usr/bin/env python3
"""Writes a zip of one folder whose bytes depend only on the names and contents of its files.

    make-zip.py ZIP PARENT FOLDER EPOCH

The zip holds FOLDER (a folder inside PARENT) and every file below it. Entries come in the byte
order of their names, every entry carries the time EPOCH (seconds since 1970, as UTC: a zip has
no time zone) and fixed permissions, and no entry carries the builder's user, group, access
time or file system. So two runs in different folders, at different times, under different
umasks and locales give the same zip.
"""
import os
import sys
import time
import zipfile

# A zip's times are DOS times, which begin in 1980.
EARLIEST_ZIP_TIME = (1980, 1, 1, 0, 0, 0)
FILE_MODE = 0o100644
FOLDER_MODE = 0o040755
MS_DOS_DIRECTORY = 0x10


def entry(name, epoch, mode):
    info = zipfile.ZipInfo(name, max(EARLIEST_ZIP_TIME, time.gmtime(epoch)[:6]))
    info.create_system = 3  # Unix, so that the permissions below are read as such
    info.external_attr = mode << 16
    return info


def relative_paths(parent, folder):
    """Every folder and file below parent/folder, as zip names, in byte order."""
    names = [folder + "/"]
    for root, folders, files in os.walk(os.path.join(parent, folder)):
        below = os.path.relpath(root, parent).replace(os.sep, "/")
        names += [f"{below}/{name}/" for name in folders]
        names += [f"{below}/{name}" for name in files]
    return sorted(names, key=lambda name: name.encode("utf-8"))


def main(argv):
    if len(argv) != 5:
        sys.stderr.write(f"usage: {argv[0]} ZIP PARENT FOLDER EPOCH\n")
        return 64
    zip_path, parent, folder, epoch = argv[1], argv[2], argv[3], int(argv[4])
    with zipfile.ZipFile(zip_path, "w") as archive:
        for name in relative_paths(parent, folder):
            if name.endswith("/"):
                info = entry(name, epoch, FOLDER_MODE)
                info.external_attr |= MS_DOS_DIRECTORY
                archive.writestr(info, b"")
            else:
                with open(os.path.join(parent, name), "rb") as source:
                    data = source.read()
                archive.writestr(entry(name, epoch, FILE_MODE), data, zipfile.ZIP_DEFLATED, 9)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
