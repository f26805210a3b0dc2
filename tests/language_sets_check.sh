#!/bin/bash
# The compiled resources hold all nine sets: every menu and dialog of the English set under each
# language's suffix with the same items, control ids, classes and order (rectangles may be wider),
# and every English string id at each language's offset with the same printf conversions.
# Usage: language_sets_check.sh WINDRES ARTDIR LANGUAGES.rc
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
windres=$1 art=$2 languages=$3
out=$(mktemp -d); trap 'rm -rf "$out"' EXIT
"$windres" -I"$root/resources" -I"$art" -O res "$root/resources/kalbook.rc" "$out/english.res"
"$windres" -O res "$languages" "$out/languages.res"
python3 - "$out/english.res" "$out/languages.res" <<'PY'
import re, struct, sys

def read_id(data, pos):
    if struct.unpack_from('<H', data, pos)[0] == 0xFFFF:
        return struct.unpack_from('<H', data, pos + 2)[0], pos + 4
    end = pos
    while struct.unpack_from('<H', data, end)[0] != 0: end += 2
    return data[pos:end].decode('utf-16-le'), end + 2

def resources(path):
    data = open(path, 'rb').read()
    found, pos = {}, 0
    while pos < len(data):
        size, header = struct.unpack_from('<II', data, pos)
        rtype, p = read_id(data, pos + 8)
        name, p = read_id(data, p)
        if size: found[(rtype, name)] = data[pos + header: pos + header + size]
        pos += (header + size + 3) & ~3
    return found

def strings(found):
    texts = {}
    for (rtype, block), body in found.items():
        if rtype != 6: continue
        q = 0
        for i in range(16):
            n = struct.unpack_from('<H', body, q)[0]; q += 2
            if n: texts[(block - 1) * 16 + i] = body[q:q + 2 * n].decode('utf-16-le')
            q += 2 * n
    return texts

def menu_items(body):
    items, pos = [], 4  # header: version, offset
    while pos < len(body):
        flags = struct.unpack_from('<H', body, pos)[0]; pos += 2
        ident = None
        if not flags & 0x10: ident = struct.unpack_from('<H', body, pos)[0]; pos += 2
        text, pos = read_id(body, pos)
        items.append((flags & 0x93, ident, '&' in text.replace('&&', '')))  # popup, end, grayed
    return items

def dialog_controls(body):
    style, _, count = struct.unpack_from('<IIH', body, 0)
    pos = 18
    _, pos = read_id(body, pos); _, pos = read_id(body, pos); _, pos = read_id(body, pos)
    if style & 0x40: pos += 2; _, pos = read_id(body, pos)
    controls = []
    for _ in range(count):
        pos = (pos + 3) & ~3
        cstyle, _, x, y, cx, cy, ident = struct.unpack_from('<IIhhhhH', body, pos); pos += 18
        cls, pos = read_id(body, pos)
        text, pos = read_id(body, pos)
        extra = struct.unpack_from('<H', body, pos)[0]; pos += 2 + extra
        controls.append((ident, cls, cstyle, isinstance(text, str) and '&' in text.replace('&&', '')))
    return style, controls

english, localized = resources(sys.argv[1]), resources(sys.argv[2])
suffixes = ['_GR', '_FR', '_DU', '_IT', '_DE', '_SW', '_NO', '_SP']
problems = []
sets = [(t, n[:-3]) for (t, n) in english if isinstance(n, str) and n.endswith('_EG')]
for rtype, base in sets:
    body = english[(rtype, base + '_EG')]
    for suffix in suffixes:
        other = localized.get((rtype, base + suffix))
        if other is None:
            problems.append('%s%s missing' % (base, suffix)); continue
        if rtype == 4 and menu_items(other) != menu_items(body):
            problems.append('%s%s: menu items differ from English' % (base, suffix))
        if rtype == 5 and dialog_controls(other) != dialog_controls(body):
            problems.append('%s%s: controls differ from English' % (base, suffix))
texts, local_texts = strings(english), strings(localized)
conversions = lambda text: re.findall(r'%[-+ #0-9.*lhI]*[a-zA-Z]', text.replace('%%', ''))
for ident, text in texts.items():
    for language in range(1, 9):
        other = local_texts.get(ident + 200 * language)
        if other is None:
            problems.append('string %d missing (language %d)' % (ident + 200 * language, language))
        elif conversions(other) != conversions(text):
            problems.append('string %d: conversions %s, English %s' % (ident + 200 * language, conversions(other), conversions(text)))
if local_texts.get(315) != 'L\u00f6schen':  # Windows-1252 bytes arrive as the characters written
    problems.append('string 315 reads %r' % local_texts.get(315))
for problem in problems: print(problem)
print('%d menus and dialogs, %d strings, in 8 languages: %d problems' % (len(sets), len(texts), len(problems)))
sys.exit(1 if problems else 0)
PY
