#!/usr/bin/env python3
"""A zip that depends on its files' names and bytes alone.

Usage: zip_files.py OUT FILE...

Each entry carries the time SOURCE_DATE_EPOCH names (or 1980-01-01, zip's
first day), mode 0755 for programs and 0644 for the rest, and no owner, atime
or ctime fields, so the same files make the same zip in any folder, on any day.
"""
import os
import sys
import time
import zipfile

ZIP_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry can hold


def main(out, files):
    stamp = max(int(os.environ.get('SOURCE_DATE_EPOCH') or ZIP_EPOCH), ZIP_EPOCH)
    date_time = time.gmtime(stamp)[:6]
    with zipfile.ZipFile(out + '.part', 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for path in files:
            entry = zipfile.ZipInfo(os.path.basename(path), date_time)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3  # Unix, so that the mode below is read
            mode = 0o755 if os.access(path, os.X_OK) else 0o644
            entry.external_attr = (0o100000 | mode) << 16
            with open(path, 'rb') as source:
                archive.writestr(entry, source.read())
    os.replace(out + '.part', out)


if __name__ == '__main__':
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2:])
