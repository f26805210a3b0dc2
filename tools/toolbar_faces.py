#!/usr/bin/env python3
"""Writes the fifteen toolbar button faces (resources/art/tb_*.txt).

Each of the five pictures below is drawn once, 25 x 25, with '.' for the button
face.  This script puts every picture on a 32 x 32 button three times: raised
(up), sunken with the picture one pixel lower and to the right (pressed), and
raised with a grey embossed copy of the picture (disabled).  The build reads
only the generated .txt files; run this again after changing a picture:

    python3 tools/toolbar_faces.py [OUTPUT_DIR]
"""
import os
import sys

SIZE = 32
PICTURE = 25

# Key character -> index in the standard 16-colour palette.
PALETTE_KEYS = {
    '.': 0x7,  # silver, the button face
    'K': 0x0,  # black
    'm': 0x1,  # maroon
    'G': 0x2,  # green
    'o': 0x3,  # olive
    'n': 0x4,  # navy
    'p': 0x5,  # purple
    't': 0x6,  # teal
    'g': 0x8,  # grey
    'r': 0x9,  # red
    'l': 0xA,  # lime
    'y': 0xB,  # yellow
    'b': 0xC,  # blue
    'M': 0xD,  # magenta
    'c': 0xE,  # cyan
    'W': 0xF,  # white
}

# Colours that stay in the embossed (disabled) picture; the light ones drop out
# so that faces, cards and lenses show as holes inside their outlines.
DARK_KEYS = set('KmnpgGotr')

NEW_PERSON = """
.........................
.........KKKKKKK.........
.......KKmmmmmmmKK.......
......KmmmmmmmmmmmK......
.....KmmmmmmmmmmmmmK.....
.....KmmmyyyyyyymmmK.....
.....KmmyyyyyyyyymmK.....
.....KmyyKKyyyKKyymK.....
.....KmyyyyyyyyyyymK.....
.....KyyyyyyyyyyyyyK.....
......KyyKyyyyyKyyK......
......KyyyKKKKKyyyK......
.......KyyyyyyyyyK.......
........KKyyyyyKK........
..........KyyyK..........
......KKKKKyyyKKKKK......
....KKbbbbbKyKbbbbbKK....
...KbbbbbbbbKbbbbbbbnK...
..KbbbbbbbbbbbbbbbbbnnK..
.KbbbbbbbbbbbbbbbbbbbnnK.
.KbbbbbbbbbbbbbbbbbbbnnK.
KbbbbbbbbbbbbbbbbbbbbbnnK
KbbbbbbbbbbbbbbbbbbbbbnnK
KbbbbbbbbbbbbbbbbbbbbbnnK
KKKKKKKKKKKKKKKKKKKKKKKKK
"""

# A small figure, pasted three times for the group picture.
SMALL_PERSON = """
....KKKKK....
...KmmmmmK...
..KmmmmmmmK..
..KmyyyyymK..
..KyKyyyKyK..
..KyyyyyyyK..
..KyyKKKyyK..
...KyyyyyK...
...KKKyKKK...
.KKbbbKbbbKK.
KbbbbbbbbbbbK
KbbbbbbbbbbbK
KbbbbbbbbbbbK
KbbbbbbbbbbbK
KbbbbbbbbbbbK
KKKKKKKKKKKKK
"""

CARD = """
.........................
.........................
.........................
......KKKKKKKKKKKKKKKKKK.
......KWWWWWWWWWWWWWWWWKg
......KWnnnnnnnnnWWWWWWKg
......KWWWWWWWWWWWWWWWWKg
......KWWWWWWWWWWWWWWWWKg
......KWWWWWWggggggggWWKg
......KWWWWWWWWWWWWWWWWKg
......KWWWWWWggggggWWWWKg
......KWWWWWWWWWWWWWWWWKg
......KWWWWWWgggggggWWWKg
......KWWWWWWWWWWWWWWWWKg
......KWWWWWWggggggggWWKg
......KWWWWWWWWWWWWWWWWKg
......KKKKKKKKKKKKKKKKKKg
.......gggggggggggggggggg
.........................
.........................
.........................
.........................
.........................
.........................
.........................
"""

WASTE_BIN = """
................KKKKK....
..............KKWWWWWKK..
............KKWKKKWWWWWK.
..........KKWWKgggKWWWgK.
.........KWWWWWKKKWWWggK.
........KWWWWWWWWWWggKK..
.......KWWWWWWWWWggKK....
.......KgWWWWWgggKK......
.......KgggggggKK........
........KKKKKKK..........
.......KKKKKKKKK.........
.....KKWWWWWWWWWKK.......
....KWWgggggggggWWK......
...KWWgggggggggggWWK.....
...KWWWgggggggggWWWK.....
....KKWWWWWWWWWWWKK......
....KWWgWWgWWgWWggK......
....KWWgWWgWWgWWggK......
....KWWgWWgWWgWWggK......
.....KWWgWgWWgWggK.......
.....KWWgWgWWgWggK.......
.....KWWgWgWWgWggK.......
......KWgWgWWgWgK........
......KWgWgWWgWgK........
......KKKKKKKKKKK........
"""

BINOCULARS = """
.........................
......KKKKK...KKKKK......
......KgWgKKKKKgWgK......
......KbnnKgWgKbnnK......
......KbnnKgWgKbnnK......
....KKKKKKKKKKKKKKKKK....
...KbbnnnnnKgKbbnnnnnK...
...KbbnnnnnKgKbbnnnnnK...
...KbbnnnnnKgKbbnnnnnK...
...KbbnnnnnKKKbbnnnnnK...
KKKKbbnnnnnK.KbbnnnnnKKKK
KbbnnnnnnnK...KbbnnnnnnnK
KbbnnnnnnnK...KbbnnnnnnnK
KbbnnnnnnnK...KbbnnnnnnnK
KbbnnnnnnnK...KbbnnnnnnnK
KbbnnnnnnnK...KbbnnnnnnnK
KbbnnnnnnnK...KbbnnnnnnnK
KbbnnnnnnnK...KbbnnnnnnnK
KbbnnnnnnnK...KbbnnnnnnnK
KgggggggggK...KgggggggggK
KgWccccccgK...KgWccccccgK
KgcccccbbgK...KgcccccbbgK
KgcbbbbbngK...KgcbbbbbngK
KKgggggggKK...KKgggggggKK
.KKKKKKKKK.....KKKKKKKKK.
"""


def grid(text):
    rows = [list(r) for r in text.strip('\n').split('\n')]
    return rows


def blank():
    return [['.'] * PICTURE for _ in range(PICTURE)]


def paste(canvas, sprite, left, top):
    for y, row in enumerate(sprite):
        for x, c in enumerate(row):
            if c != '.' and 0 <= top + y < PICTURE and 0 <= left + x < PICTURE:
                canvas[top + y][left + x] = c
    return canvas


def new_group():
    small = grid(SMALL_PERSON)
    back_left = [[{'b': 'G'}.get(c, c) for c in row] for row in small]
    back_right = [[{'b': 'r'}.get(c, c) for c in row] for row in small]
    canvas = blank()
    paste(canvas, back_left, 0, 2)
    paste(canvas, back_right, 12, 2)
    paste(canvas, small, 6, 9)
    return canvas


def properties():
    canvas = grid(CARD)
    paste(canvas, grid(SMALL_PERSON), 0, 9)
    return canvas


def check(name, picture):
    if len(picture) != PICTURE or any(len(r) != PICTURE for r in picture):
        raise SystemExit('%s: picture is not %d x %d: %s' % (
            name, PICTURE, PICTURE, [len(r) for r in picture]))
    for row in picture:
        for c in row:
            if c not in PALETTE_KEYS:
                raise SystemExit('%s: unknown key %r' % (name, c))


def raised():
    # White top and left edge, black bottom and right edge with grey inside it.
    face = [['.'] * SIZE for _ in range(SIZE)]
    last = SIZE - 1
    for i in range(SIZE):
        face[0][i] = face[i][0] = 'W'
    for i in range(1, SIZE - 1):
        face[last - 1][i] = face[i][last - 1] = 'g'
    for i in range(SIZE):
        face[last][i] = face[i][last] = 'K'
    return face


def sunken():
    # The raised border turned inside out: black and grey at the top and left.
    face = [['.'] * SIZE for _ in range(SIZE)]
    last = SIZE - 1
    for i in range(SIZE):
        face[last][i] = face[i][last] = 'W'
    for i in range(1, SIZE - 1):
        face[1][i] = face[i][1] = 'g'
    for i in range(SIZE):
        face[0][i] = face[i][0] = 'K'
    return face


def put(face, picture, left, top):
    for y, row in enumerate(picture):
        for x, c in enumerate(row):
            if c != '.':
                face[top + y][left + x] = c
    return face


def embossed(face, picture, left, top):
    # A white copy one pixel down and right, then the grey picture over it.
    mask = [[c in DARK_KEYS for c in row] for row in picture]
    for shade, shift in (('W', 1), ('g', 0)):
        for y, row in enumerate(mask):
            for x, dark in enumerate(row):
                if dark:
                    face[top + y + shift][left + x + shift] = shade
    return face


def write(path, comment, face):
    used = sorted({c for row in face for c in row}, key=lambda c: PALETTE_KEYS[c])
    lines = ['# %s' % comment, 'kind bmp', 'size %d %d' % (SIZE, SIZE)]
    for c in used:
        lines.append('key %s %X' % (c, PALETTE_KEYS[c]))
    lines.append('pixels')
    lines.extend(''.join(row) for row in face)
    with open(path, 'w', newline='\n') as out:
        out.write('\n'.join(lines) + '\n')


BUTTONS = [
    # name, first bitmap id, what the button does and shows, picture
    ('newperson', 100, 'new person (one person, head and shoulders)', lambda: grid(NEW_PERSON)),
    ('newgroup', 103, 'new group (three persons)', new_group),
    ('properties', 106, 'properties (a person before an address card)', properties),
    ('delete', 109, 'delete (a waste bin with its lid off)', lambda: grid(WASTE_BIN)),
    ('find', 115, 'find (binoculars)', lambda: grid(BINOCULARS)),
]

STATES = [('up', 0), ('pressed', 1), ('disabled', 2)]


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    art = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'resources', 'art')
    origin = (SIZE - 2 - PICTURE) // 2 + 1
    for name, first_id, action, draw in BUTTONS:
        picture = draw()
        check(name, picture)
        faces = {
            'up': put(raised(), picture, origin, origin),
            'pressed': put(sunken(), picture, origin + 1, origin + 1),
            'disabled': embossed(raised(), picture, origin, origin),
        }
        for state, offset in STATES:
            comment = 'Bitmap %d: toolbar face, %s, %s.' % (first_id + offset, action, state)
            write(os.path.join(art, 'tb_%s_%s.txt' % (name, state)), comment, faces[state])


if __name__ == '__main__':
    main()
