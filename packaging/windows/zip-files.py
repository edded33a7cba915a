#!/usr/bin/env python3
"""Packs files into a zip that depends on their contents alone: every entry gets one time, and
none of the extra fields with the time each file was last read or changed that other zip tools
add.  zip-files.py ARCHIVE EPOCH FILE...  (run from the folder the names are relative to)"""
import sys
import time
import zipfile

archive, epoch, names = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
if not names:
    sys.exit("zip-files.py: no files to pack")
# A zip's times start in 1980.
stamp = time.gmtime(max(epoch, 315532800))[:6]
with zipfile.ZipFile(archive, "w") as out:
    for name in sorted(names):
        entry = zipfile.ZipInfo(name, stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = 0o644 << 16
        with open(name, "rb") as data:
            out.writestr(entry, data.read(), compresslevel=9)
