#!/usr/bin/env python3
"""Sets a .deb's Installed-Size from its files, in place.

Usage: deb_installed_size.py DEB...

CPack sums the sizes that the build folder's file system reports for the
package's files and folders, and a folder's size differs from one file system
to another (4 KiB each on ext4, a few bytes a name on tmpfs), so the same
package built in two folders would say two sizes. This counts as dpkg-gencontrol
does: each file's size in KiB rounded up, and 1 for each folder or link. Every
other byte of the package stays as CPack wrote it; the control archive is
written again with the same entries, compressed without a time or name.
"""
import gzip
import io
import re
import sys
import tarfile

AR_MAGIC = b'!<arch>\n'


def ar_members(data):
    if not data.startswith(AR_MAGIC):
        raise SystemExit('not an ar archive')
    members, at = [], len(AR_MAGIC)
    while at < len(data):
        header = data[at:at + 60]
        size = int(header[48:58])
        members.append((header, data[at + 60:at + 60 + size]))
        at += 60 + size + (size & 1)
    return members


def ar_bytes(members):
    out = bytearray(AR_MAGIC)
    for header, body in members:
        out += header[:48] + f'{len(body):<10}'.encode() + header[58:60] + body
        if len(body) & 1:
            out += b'\n'
    return bytes(out)


def installed_kib(data_tar):
    with tarfile.open(fileobj=io.BytesIO(data_tar)) as files:
        return sum(-(-entry.size // 1024) if entry.isfile() else 1 for entry in files if entry.name not in ('.', './'))


def with_size(control_tar, kib):
    out = io.BytesIO()
    with tarfile.open(fileobj=io.BytesIO(control_tar)) as source, \
            gzip.GzipFile(filename='', mode='wb', fileobj=out, mtime=0, compresslevel=9) as packed, \
            tarfile.open(fileobj=packed, mode='w', format=tarfile.GNU_FORMAT) as target:
        for entry in source:
            body = source.extractfile(entry).read() if entry.isfile() else None
            if entry.name.lstrip('./') == 'control':
                body = re.sub(rb'^Installed-Size: \d+$', b'Installed-Size: %d' % kib, body, flags=re.M)
                entry.size = len(body)
            target.addfile(entry, io.BytesIO(body) if body is not None else None)
    return out.getvalue()


def main(paths):
    for path in paths:
        with open(path, 'rb') as deb:
            members = ar_members(deb.read())
        names = [header[:16].decode().strip().rstrip('/') for header, _ in members]
        data = gzip.decompress(members[names.index('data.tar.gz')][1])
        control = names.index('control.tar.gz')
        header, body = members[control]
        members[control] = (header, with_size(gzip.decompress(body), installed_kib(data)))
        with open(path, 'wb') as deb:
            deb.write(ar_bytes(members))


if __name__ == '__main__':
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    main(sys.argv[1:])
