#!/usr/bin/env python3
"""Writes store/text_fold_tables.inc: for each single-byte code page whose letters carry accents,
what each byte 0x80-0xFF folds to (lower case, accents off, ligatures spelt out).

Run from the repository's top: python3 tools/fold_tables.py > store/text_fold_tables.inc
"""
import codecs
import unicodedata

PAGES = [1250, 1251, 1252, 1253, 1254, 1257]
# Letters that are no letter plus an accent, spelt the way people type them without the key.
SPELT = {'ß': 'ss', 'æ': 'ae', 'œ': 'oe', 'ø': 'o', 'ł': 'l', 'đ': 'd', 'ı': 'i', 'ς': 'σ'}
# Letters of their own that only look like a letter with an accent.
KEPT = {'й'}


def fold_char(ch):
    low = ch.lower()
    if len(low) != 1:  # "İ" lowers to "i" and a dot
        low = unicodedata.normalize('NFD', low)[0]
    if low in KEPT:
        return low
    if low in SPELT:
        return SPELT[low]
    base = ''.join(c for c in unicodedata.normalize('NFD', low) if not unicodedata.combining(c))
    return SPELT.get(base, base) or low


def c_bytes(data):
    return ''.join('\\x%02X' % b for b in data)


def table(page):
    rows = []
    for b in range(0x80, 0x100):
        try:
            ch = bytes([b]).decode('cp%d' % page)
        except UnicodeDecodeError:
            rows.append('"%s"' % c_bytes([b]))
            continue
        folded = fold_char(ch)
        try:
            out = folded.encode('cp%d' % page)
        except UnicodeEncodeError:
            try:
                out = ch.lower().encode('cp%d' % page)
            except UnicodeEncodeError:
                out = bytes([b])
        rows.append('"%s"' % c_bytes(out))
    lines = []
    for i in range(0, 128, 8):
        lines.append('     ' + ', '.join(rows[i:i + 8]) + ',')
    return '    {%d,\n    {\n%s\n    }},' % (page, '\n'.join(lines))


print('// Written by tools/fold_tables.py: what the bytes 80-FF of each code page fold to.')
print('// clang-format off')
for page in PAGES:
    print(table(page))
