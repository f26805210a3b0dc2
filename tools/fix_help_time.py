#!/usr/bin/env python3
"""Sets the two times chmcmd writes into a compiled help file to a fixed one.

chmcmd stores the time of day of the compile, in milliseconds, in the file header (big-endian,
at offset 0x10) and in the #SYSTEM entry of code 10 (little-endian). Both get the time of day of
SOURCE_DATE_EPOCH (midnight when it is unset), so that one commit gives one file.
Usage: fix_help_time.py FILE.chm
"""
import os
import re
import struct
import subprocess
import sys

SYSTEM_TIME_CODE = 10


def system_entry_offset(chm):
    # chmls list: "<Section> <Offset> <UnCompSize> <Name>"; #SYSTEM lives in the uncompressed
    # content section 0, whose start the header gives at 0x58.
    listing = subprocess.run(['chmls', 'list', chm], check=True, capture_output=True, text=True).stdout
    match = re.search(r'^\s*0\s+(\d+)\s+(\d+)\s+/#SYSTEM$', listing, re.M)
    if not match:
        sys.exit('fix_help_time: no #SYSTEM in section 0 of %s' % chm)
    return int(match.group(1)), int(match.group(2))


def main():
    chm = sys.argv[1]
    millis = int(os.environ.get('SOURCE_DATE_EPOCH', '0')) % 86400 * 1000
    data = bytearray(open(chm, 'rb').read())
    if data[:4] != b'ITSF':
        sys.exit('fix_help_time: %s is not a compiled help file' % chm)
    struct.pack_into('>I', data, 0x10, millis)
    offset, size = system_entry_offset(chm)
    start = struct.unpack_from('<Q', data, 0x58)[0] + offset
    at, end = start + 4, start + size  # after the #SYSTEM version
    while at + 4 <= end:
        code, length = struct.unpack_from('<HH', data, at)
        if code == SYSTEM_TIME_CODE and length == 4:
            struct.pack_into('<I', data, at + 4, millis)
            break
        at += 4 + length
    else:
        sys.exit('fix_help_time: no time entry in #SYSTEM of %s' % chm)
    open(chm, 'wb').write(bytes(data))


if __name__ == '__main__':
    main()
