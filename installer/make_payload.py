#!/usr/bin/env python3
"""Assembles the Installer's payload: a ZIP archive whose entries come in exactly this order,
deflated, each file with its source's time stamp.

usage: make_payload.py OUT.zip TOLLAN HISTORY MAPLIST COOP DM UPDATER UNINSTALL README
"""
import os
import sys
import time
import zipfile

ZIP_EPOCH = (1980, 1, 1, 0, 0, 0)
FOLDERS = ["Config/", "MapLists/"]
FILES = [
    "DedicatedServerUtility/History.ini",
    "DedicatedServerUtility/Tollan.exe",
    "DedicatedServerUtility/MapLists/MapList.txt",
    "DedicatedServerUtility/Config/NormalCOOP.cfg",
    "DedicatedServerUtility/Config/NormalDM.cfg",
    "DedicatedServerUtility/Updater.exe",
    "DedicatedServerUtility/Uninstall.exe",
    "DedicatedServerUtility/ReadMe.txt",
]
# The order in which the command line names the files, mapped onto the archive's order.
ARGUMENT_ORDER = [
    "DedicatedServerUtility/Tollan.exe",
    "DedicatedServerUtility/History.ini",
    "DedicatedServerUtility/MapLists/MapList.txt",
    "DedicatedServerUtility/Config/NormalCOOP.cfg",
    "DedicatedServerUtility/Config/NormalDM.cfg",
    "DedicatedServerUtility/Updater.exe",
    "DedicatedServerUtility/Uninstall.exe",
    "DedicatedServerUtility/ReadMe.txt",
]


def main(argv):
    if len(argv) != 2 + len(ARGUMENT_ORDER):
        sys.exit(__doc__)
    out = argv[1]
    sources = dict(zip(ARGUMENT_ORDER, argv[2:]))
    tmp = out + ".tmp"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        now = time.localtime()[:6]
        for name in FOLDERS:
            info = zipfile.ZipInfo(name, date_time=now)
            info.external_attr = 0o40755 << 16 | 0x10  # a folder, for both worlds
            archive.writestr(info, b"")
        for name in FILES:
            path = sources[name]
            # ZIP times are local and start in 1980; a clamp in UTC would still give 1979 west of it.
            stamp = max(time.localtime(os.path.getmtime(path))[:6], ZIP_EPOCH)
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o100644 << 16
            with open(path, "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
    os.replace(tmp, out)


if __name__ == "__main__":
    main(sys.argv)
