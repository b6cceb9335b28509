#!/usr/bin/env python3
"""Writes the Windows release package into a folder.

    write_package.py --exe Parlivo.exe --readme TEXT --license LICENSE
                     --zip Parlivo-1.0-win64.zip --dist DIR

DIR gets the zip, which holds Parlivo.exe, README.txt (from TEXT) and
LICENSE in this order, a copy of the Parlivo.exe it holds, and SHA256SUMS
for the two in the format `sha256sum -c` reads. The same inputs give the
same bytes: the entries carry the time in SOURCE_DATE_EPOCH and fixed
modes, and the two text files get CR LF line ends for Windows editors.
(scripts/package.sh runs this through the build.)
"""

import argparse
import hashlib
import os
import pathlib
import sys
import time
import zipfile

EXE_NAME = 'Parlivo.exe'
SUMS_NAME = 'SHA256SUMS'
# The earliest time a zip entry can carry.
ZIP_EPOCH = (1980, 1, 1, 0, 0, 0)
UNIX_HOST = 3
FILE_MODE = 0o100644
PROGRAM_MODE = 0o100755


def windows_text(path):
    return path.read_bytes().replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')


def entry(name, mode, date_time):
    info = zipfile.ZipInfo(name, date_time)
    info.create_system = UNIX_HOST  # the same on any build machine
    info.external_attr = mode << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def write_zip(path, files, date_time):
    with zipfile.ZipFile(path, 'w') as archive:
        for name, data, mode in files:
            archive.writestr(entry(name, mode, date_time), data, compresslevel=9)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--exe', required=True, type=pathlib.Path)
    parser.add_argument('--readme', required=True, type=pathlib.Path)
    parser.add_argument('--license', required=True, type=pathlib.Path)
    parser.add_argument('--zip', required=True, help='the file name of the zip')
    parser.add_argument('--dist', required=True, type=pathlib.Path)
    options = parser.parse_args()
    epoch = os.environ.get('SOURCE_DATE_EPOCH')
    if not epoch:
        print('SOURCE_DATE_EPOCH is not set (scripts/package.sh sets it to the last '
              "commit's time)", file=sys.stderr)
        return 1
    date_time = max(time.gmtime(int(epoch))[:6], ZIP_EPOCH)

    exe = options.exe.read_bytes()
    files = [(EXE_NAME, exe, PROGRAM_MODE),
             ('README.txt', windows_text(options.readme), FILE_MODE),
             ('LICENSE', windows_text(options.license), FILE_MODE)]
    options.dist.mkdir(parents=True, exist_ok=True)
    # A zip of another version would stay beside the new one, unchecked.
    for old in options.dist.glob('Parlivo-*-win64.zip'):
        old.unlink()
    zip_path = options.dist / options.zip
    write_zip(zip_path, files, date_time)
    (options.dist / EXE_NAME).write_bytes(exe)
    sums = ''.join(f'{hashlib.sha256(data).hexdigest()}  {name}\n'
                   for name, data in ((options.zip, zip_path.read_bytes()), (EXE_NAME, exe)))
    (options.dist / SUMS_NAME).write_text(sums)
    print(f'{zip_path}: {zip_path.stat().st_size} bytes, {EXE_NAME}: {len(exe)} bytes')
    return 0


if __name__ == '__main__':
    sys.exit(main())
