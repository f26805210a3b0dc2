#!/usr/bin/env python3
"""Points the compiled help's context map at the opening topic by its name inside the file.

chmcmd writes each [MAP] target into #STRINGS as the topic's full path on the build machine
("/home/.../welcome.htm"), which no help viewer can open. This rewrites the map (#IVB) so that
each context names the topic as the viewers look it up ("welcome.htm", the string the window type
already stores): the new map is appended to the uncompressed content section and the directory
entry of /#IVB is pointed at it. Usage: fix_help_context.py FILE.chm PROJECT.hhp
"""
import re
import struct
import subprocess
import sys
import tempfile


def encint(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def decint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def extract(chm, name):
    with tempfile.NamedTemporaryFile() as out:
        subprocess.run(['chmls', 'extract', chm, name, out.name], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return open(out.name, 'rb').read()


def project_contexts(project):
    text = open(project, encoding='latin-1').read().replace('\r', '')
    section = lambda name: re.search(r'^\[' + name + r'\]\n(.*?)(?=^\[|\Z)', text, re.M | re.S)
    aliases = dict(re.findall(r'^\s*(\w+)\s*=\s*(\S+)', section('ALIAS').group(1), re.M))
    numbers = re.findall(r'^\s*#define\s+(\w+)\s+(\d+)', section('MAP').group(1), re.M)
    return [(int(number), aliases[name]) for name, number in numbers]


def new_map(strings, contexts):
    body = b''
    for number, topic in contexts:
        at = strings.find(b'\0' + topic.encode('latin-1') + b'\0')
        if at < 0:
            sys.exit('fix_help_context: %s is not among the file\'s strings' % topic)
        body += struct.pack('<II', number, at + 1)
    return struct.pack('<I', len(body)) + body


def repoint_entry(data, name, section0_offset, length):
    """Rewrites the directory entry of name (one listing chunk) to section 0 at the offset."""
    dir_at = struct.unpack_from('<Q', data, 0x48)[0]
    chunk_size, density = struct.unpack_from('<II', data, dir_at + 0x10)
    chunks = struct.unpack_from('<I', data, dir_at + 0x2C)[0]
    for c in range(chunks):
        start = dir_at + 0x54 + c * chunk_size
        chunk = bytearray(data[start:start + chunk_size])
        if chunk[:4] != b'PMGL':
            continue
        free = struct.unpack_from('<I', chunk, 4)[0]
        pos = 0x14
        while pos < chunk_size - free:
            entry_at = pos
            size, pos = decint(chunk, pos)
            entry_name = bytes(chunk[pos:pos + size])
            pos += size
            for _ in range(3):
                _, pos = decint(chunk, pos)
            if entry_name != name:
                continue
            new = encint(size) + entry_name + encint(0) + encint(section0_offset) + encint(length)
            delta = len(new) - (pos - entry_at)
            if delta > free - 64:
                sys.exit('fix_help_context: no room in the directory chunk')
            used_end = chunk_size - free
            chunk[entry_at:used_end + delta] = new + chunk[pos:used_end]
            struct.pack_into('<I', chunk, 4, free - delta)
            # Quick-reference offsets (written backwards from the chunk's end, counted from the
            # first entry) behind the changed entry move with it.
            count = struct.unpack_from('<H', chunk, chunk_size - 2)[0]
            for k in range((count - 1) // (1 + (1 << density))):
                at = chunk_size - 4 - 2 * k
                ref = struct.unpack_from('<H', chunk, at)[0]
                if ref > entry_at - 0x14:
                    struct.pack_into('<H', chunk, at, ref + delta)
            return data[:start] + bytes(chunk) + data[start + chunk_size:]
    sys.exit('fix_help_context: %s not found in the directory' % name.decode())


def main():
    chm, project = sys.argv[1], sys.argv[2]
    contexts = project_contexts(project)
    ivb = new_map(extract(chm, '/#STRINGS'), contexts)
    data = open(chm, 'rb').read()
    content0 = struct.unpack_from('<Q', data, 0x58)[0]
    data = repoint_entry(data, b'/#IVB', len(data) - content0, len(ivb)) + ivb
    header0 = struct.unpack_from('<Q', data, 0x38)[0]
    data = bytearray(data)
    struct.pack_into('<Q', data, header0 + 8, len(data))  # the file size the header records
    open(chm, 'wb').write(bytes(data))


if __name__ == '__main__':
    main()
