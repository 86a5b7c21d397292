#!/usr/bin/env python3
"""Draws the tree list's pictures beside this script: the indicator bitmaps
cvgrid_*.bmp (an arrow, a pencil, a star, dots and an arrow with dots, on
white, which is their mask colour) and the cursors cvtl*.cur (the header
remove cross, the seven panning cursors and the two drag-copy arrows; X black,
o white, . transparent), and the three panning indicators
cvgrid_*scrollbitmap.bmp. The BMP and cursor writers are the editors' own.
Run it again after changing a drawing; the build reads only the written files."""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
EDITORS = os.path.join(HERE, '..', '..', 'editors', 'resources', 'make-resources.py')
spec = importlib.util.spec_from_file_location('editor_resources', EDITORS)
editor_resources = importlib.util.module_from_spec(spec)
spec.loader.exec_module(editor_resources)

INDICATORS = {
    'cvgrid_arrow': [
        "wwwwwwww",
        "wwkwwwww",
        "wwkkwwww",
        "wwkkkwww",
        "wwkkkkww",
        "wwkkkwww",
        "wwkkwwww",
        "wwkwwwww",
        "wwwwwwww",
    ],
    'cvgrid_edit': [
        "wwwwwkww",
        "wwwwkskw",
        "wwwksskw",
        "wwksskww",
        "wksskwww",
        "kkskwwww",
        "kkkwwwww",
        "kkwwwwww",
        "wwwwwwww",
    ],
    'cvgrid_insert': [
        "wwwwwwww",
        "kwwkwwkw",
        "wkwkwkww",
        "wwkkkwww",
        "kkkkkkkw",
        "wwkkkwww",
        "wkwkwkww",
        "kwwkwwkw",
        "wwwwwwww",
    ],
    'cvgrid_multidot': [
        "wwwwwwww",
        "wwwwwwww",
        "wwkkwwww",
        "wwkkwwww",
        "wwwwwwww",
        "wwkkwwww",
        "wwkkwwww",
        "wwwwwwww",
        "wwwwwwww",
    ],
    'cvgrid_multiarrow': [
        "wwwwwwww",
        "kwwkwwww",
        "wwwkkwww",
        "kwwkkkww",
        "wwwkkkkw",
        "kwwkkkww",
        "wwwkkwww",
        "kwwkwwww",
        "wwwwwwww",
    ],
}


# Panning: a dot in the middle, with arrows to the sides the view may move.
def panning(up, right, down, left):
    rows = [list('.' * 21) for _ in range(21)]

    def put(x, y, c):
        if rows[y][x] != 'X':
            rows[y][x] = c

    # A filled triangle of 4 rows pointing outward from the centre (10, 10).
    for i in range(4):
        for j in range(-i, i + 1):
            if up:
                put(10 + j, 1 + i, 'X')
            if down:
                put(10 + j, 19 - i, 'X')
            if left:
                put(1 + i, 10 + j, 'X')
            if right:
                put(19 - i, 10 + j, 'X')
    for y in range(8, 13):
        for x in range(8, 13):
            put(x, y, 'X' if x in (8, 12) or y in (8, 12) else 'o')
    return [''.join(r) for r in rows]


ARROW = [
    "X...........",
    "XX..........",
    "XoX.........",
    "XooX........",
    "XoooX.......",
    "XooooX......",
    "XoooooX.....",
    "XooooooX....",
    "XoooooooX...",
    "XooooXXXXX..",
    "XooXooX.....",
    "XoX.XooX....",
    "XX..XooX....",
    "X....XooX...",
    ".....XooX...",
    "......XX....",
]


def with_badge(base, badge, left, top):
    rows = [r.ljust(left + len(badge[0]), '.') for r in base]
    rows += ['.' * len(rows[0])] * max(0, top + len(badge) - len(rows))
    rows = [list(r) for r in rows]
    for y, line in enumerate(badge):
        for x, c in enumerate(line):
            if c != '.':
                rows[top + y][left + x] = c
    return [''.join(r) for r in rows]


PLUS = [
    "XXXXXXXXX",
    "XoooooooX",
    "XoooXoooX",
    "XoooXoooX",
    "XoXXXXXoX",
    "XoooXoooX",
    "XoooXoooX",
    "XoooooooX",
    "XXXXXXXXX",
]

PAGES = [
    "..XXXXXX",
    "..XooooX",
    "XXXXXXoX",
    "XooooXoX",
    "XooooXXX",
    "XooooX..",
    "XXXXXX..",
]

REMOVE = [
    "XX.......XX",
    "XoX.....XoX",
    ".XoX...XoX.",
    "..XoX.XoX..",
    "...XoXoX...",
    "....XoX....",
    "...XoXoX...",
    "..XoX.XoX..",
    ".XoX...XoX.",
    "XoX.....XoX",
    "XX.......XX",
]

# The panning indicators: the panning pictures on the button face, shown in an
# elliptic window at the point where panning started.
def indicator(rows):
    return [r.replace('.', 's').replace('X', 'k').replace('o', 'w') for r in rows]


INDICATOR_BITMAPS = {
    'cvgrid_fullscrollbitmap': indicator(panning(True, True, True, True)),
    'cvgrid_horscrollbitmap': indicator(panning(False, True, False, True)),
    'cvgrid_verscrollbitmap': indicator(panning(True, False, True, False)),
}

CURSORS = {
    'cvtldeletecursor': (REMOVE, (5, 5)),
    'cvtl_fullscrollcursor': (panning(True, True, True, True), (10, 10)),
    'cvtl_horscrollcursor': (panning(False, True, False, True), (10, 10)),
    'cvtl_verscrollcursor': (panning(True, False, True, False), (10, 10)),
    'cvtl_upscrollcursor': (panning(True, False, False, False), (10, 10)),
    'cvtl_rightscrollcursor': (panning(False, True, False, False), (10, 10)),
    'cvtl_downscrollcursor': (panning(False, False, True, False), (10, 10)),
    'cvtl_leftscrollcursor': (panning(False, False, False, True), (10, 10)),
    'cvtl_dragcopy': (with_badge(ARROW, PLUS, 8, 14), (0, 0)),
    'cvtl_multidragcopy': (with_badge(with_badge(ARROW, PAGES, 9, 6), PLUS, 8, 14), (0, 0)),
}


def main():
    for name, rows in INDICATORS.items():
        assert len(rows) == 9 and all(len(r) == 8 for r in rows), name
        with open(os.path.join(HERE, name + '.bmp'), 'wb') as f:
            f.write(editor_resources.bmp(rows))
    for name, rows in INDICATOR_BITMAPS.items():
        with open(os.path.join(HERE, name + '.bmp'), 'wb') as f:
            f.write(editor_resources.bmp(rows))
    for name, (rows, hotspot) in CURSORS.items():
        with open(os.path.join(HERE, name + '.cur'), 'wb') as f:
            f.write(editor_resources.cursor(rows, hotspot))


if __name__ == '__main__':
    main()
