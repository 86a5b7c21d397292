#!/usr/bin/env python3
"""Draws the editors' bitmaps and hand cursor as pixel art into the files beside
this script: the tool-bar glyphs cvtool_*.bmp, the blob glyphs
cvinplace_*.bmp (an empty and a filled picture of each kind) and
cv_handpoint.cur. Olive is the transparent colour of every glyph. Run it again
after changing a drawing; the build reads only the written files."""
import os
import struct

SIZE = 16
PALETTE = {
    '.': (128, 128, 0),  # olive: transparent
    'k': (0, 0, 0),
    'g': (128, 128, 128),
    's': (192, 192, 192),
    'w': (255, 255, 255),
    'b': (0, 0, 128),
    'B': (0, 0, 255),
    'r': (128, 0, 0),
    'R': (255, 0, 0),
    'y': (255, 255, 0),
    'G': (0, 128, 0),
    'c': (0, 128, 128),
    'n': (160, 96, 32),  # brown board of the clipboard
    'd': (224, 176, 32),  # the open folder's back
}

GLYPHS = {
    'cvtool_cut': [
        "................",
        "...k.......k....",
        "...k.......k....",
        "...kk.....kk....",
        "....k.....k.....",
        "....kk...kk.....",
        ".....k...k......",
        ".....kk.kk......",
        "......kgk.......",
        ".......k........",
        "......b.b.......",
        "...bbbb.bbbb....",
        "..b..b...b..b...",
        "..b..b...b..b...",
        "..b..b...b..b...",
        "...bb.....bb....",
    ],
    'cvtool_copy': [
        "................",
        "kkkkkkkk........",
        "kwwwwwwk........",
        "kwkkkkwk........",
        "kwwwwwwk........",
        "kwkkkkkkkkkkk...",
        "kwwwwkwwwwwwkk..",
        "kwkkkkwkkkkwkwk.",
        "kwwwwkwwwwwwkkkk",
        "kkkkkkwkkkkkkwwk",
        ".....kwwwwwwwwwk",
        ".....kwkkkkkkkwk",
        ".....kwwwwwwwwwk",
        ".....kwkkkkkkkwk",
        ".....kwwwwwwwwwk",
        ".....kkkkkkkkkkk",
    ],
    'cvtool_paste': [
        "................",
        ".....kkkkk......",
        "..nnnksssknnn...",
        ".nnnkskkksknnn..",
        ".nnkkkkkkkkknn..",
        ".nnnnnnnnnnnnn..",
        ".nnnnnnkkkkkkkkk",
        ".nnnnnnkwwwwwwwk",
        ".nnnnnnkwkkkkkwk",
        ".nnnnnnkwwwwwwwk",
        ".nnnnnnkwkkkkkwk",
        ".nnnnnnkwwwwwwwk",
        ".nnnnnnkwkkkkkwk",
        "..nnnnnkwwwwwwwk",
        ".......kkkkkkkkk",
        "................",
    ],
    'cvtool_delete': [
        "................",
        "................",
        "..RR.......RR...",
        "..RRR.....RRR...",
        "...RRR...RRR....",
        "....RRR.RRR.....",
        ".....RRRRR......",
        "......RRR.......",
        ".....RRRRR......",
        "....RRR.RRR.....",
        "...RRR...RRR....",
        "..RRR.....RRR...",
        "..RR.......RR...",
        "................",
        "................",
        "................",
    ],
    'cvtool_load': [
        "................",
        "................",
        "................",
        ".kkkk...........",
        "kddddk..........",
        "kdddddkkkkkk....",
        "kddddddddddk....",
        "kdddkkkkkkkkkkk.",
        "kddkyyyyyyyyyk..",
        "kddkyyyyyyyyyk..",
        "kdkyyyyyyyyyk...",
        "kdkyyyyyyyyyk...",
        "kkyyyyyyyyyk....",
        "kkkkkkkkkkkk....",
        "................",
        "................",
    ],
    'cvtool_save': [
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kcckwwwwwwkcck.",
        ".kcckwwwwwwkcck.",
        ".kcckwwwwwwkcck.",
        ".kcckwwwwwwkcck.",
        ".kcckkkkkkkkcck.",
        ".kcccccccccccck.",
        ".kcccccccccccck.",
        ".kcckkkkkkkkcck.",
        ".kcckssssgskcck.",
        ".kcckssssgskcck.",
        ".kcckssssgskcck.",
        "..kkkkkkkkkkkkk.",
        "................",
        "................",
    ],
    'cvinplace_blob_null': [
        "................",
        "................",
        "..gggggggggggg..",
        "..g..........g..",
        "..g..........g..",
        "..g..........g..",
        "..g..........g..",
        "..g..........g..",
        "..g..........g..",
        "..g..........g..",
        "..g..........g..",
        "..g..........g..",
        "..g..........g..",
        "..gggggggggggg..",
        "................",
        "................",
    ],
    'cvinplace_blob': [
        "................",
        "................",
        "..kkkkkkkkkkkk..",
        "..kwwwwwwwwwwk..",
        "..kwbbwwbwbbwk..",
        "..kwbwbwbwbwbk..",
        "..kwbbwwbwbbwk..",
        "..kwwwwwwwwwwk..",
        "..kwbwbbwbbwwk..",
        "..kwbwbwbwbwwk..",
        "..kwbwbbwbbwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kkkkkkkkkkkk..",
        "................",
        "................",
    ],
    'cvinplace_memo_null': [
        "................",
        "...gggggggg.....",
        "...g......gg....",
        "...g......g.g...",
        "...g......gggg..",
        "...g.........g..",
        "...g.........g..",
        "...g.........g..",
        "...g.........g..",
        "...g.........g..",
        "...g.........g..",
        "...g.........g..",
        "...g.........g..",
        "...g.........g..",
        "...ggggggggggg..",
        "................",
    ],
    'cvinplace_memo': [
        "................",
        "...kkkkkkkk.....",
        "...kwwwwwwkk....",
        "...kwbbbbwkwk...",
        "...kwwwwwwkkkk..",
        "...kwbbbbbbbwk..",
        "...kwwwwwwwwwk..",
        "...kwbbbbbbwwk..",
        "...kwwwwwwwwwk..",
        "...kwbbbbbbbwk..",
        "...kwwwwwwwwwk..",
        "...kwbbbbbwwwk..",
        "...kwwwwwwwwwk..",
        "...kwwwwwwwwwk..",
        "...kkkkkkkkkkk..",
        "................",
    ],
    'cvinplace_pict_null': [
        "................",
        "................",
        ".gggggggggggggg.",
        ".g............g.",
        ".g.gggggggggg.g.",
        ".g.g........g.g.",
        ".g.g........g.g.",
        ".g.g........g.g.",
        ".g.g........g.g.",
        ".g.g........g.g.",
        ".g.g........g.g.",
        ".g.gggggggggg.g.",
        ".g............g.",
        ".gggggggggggggg.",
        "................",
        "................",
    ],
    'cvinplace_pict': [
        "................",
        "................",
        ".kkkkkkkkkkkkkk.",
        ".knnnnnnnnnnnnk.",
        ".knkkkkkkkkkknk.",
        ".knkBBBBBByyknk.",
        ".knkBBBBBByyknk.",
        ".knkBBBBBBBBknk.",
        ".knkBBBGBBBBknk.",
        ".knkBBGGGBBGknk.",
        ".knkGGGGGGGGknk.",
        ".knkkkkkkkkkknk.",
        ".knnnnnnnnnnnnk.",
        ".kkkkkkkkkkkkkk.",
        "................",
        "................",
    ],
    'cvinplace_ole_null': [
        "................",
        "................",
        "..ggggggg.......",
        "..g.....g.......",
        "..g.....g.......",
        "..g...ggggggg...",
        "..g...g.g...g...",
        "..g...g.g...g...",
        "..ggggggg...g...",
        "......g.....g...",
        "......g.....g...",
        "......ggggggg...",
        "................",
        "................",
        "................",
        "................",
    ],
    'cvinplace_ole': [
        "................",
        "................",
        "..kkkkkkk.......",
        "..kRRRRRk.......",
        "..kRRRRRk.......",
        "..kRRRkkkkkkk...",
        "..kRRRkyykBBk...",
        "..kRRRkyykBBk...",
        "..kkkkkkkkBBk...",
        "......kBBBBBk...",
        "......kBBBBBk...",
        "......kkkkkkk...",
        "................",
        "................",
        "................",
        "................",
    ],
}

# The hand: black outline, white inside, the finger's tip the hot spot.
HAND_HOTSPOT = (5, 0)
HAND = [
    ".....XX..........",
    "....XooX.........",
    "....XooX.........",
    "....XooX.........",
    "....XooX.........",
    "....XooXXX.......",
    "....XooXooXXX....",
    "....XooXooXooXX..",
    ".XX.XooXooXooXoX.",
    "XooXXooooooooXooX",
    "XoooXoooooooooooX",
    ".XooXoooooooooooX",
    "..XoooooooooooooX",
    "..XooooooooooooX.",
    "...XoooooooooooX.",
    "...XooooooooooX..",
    "....XoooooooooX..",
    "....XoooooooooX..",
    "....XXXXXXXXXXX..",
]
CURSOR_SIZE = 32


def bmp(rows):
    """A 24-bit bottom-up BMP of the rows."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) // 4 * 4
    pixels = b''
    for row in reversed(rows):
        line = b''.join(bytes(reversed(PALETTE[c])) for c in row)
        pixels += line + b'\0' * (stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def cursor(rows, hotspot):
    """A one-picture .cur: a monochrome DIB (black, white) with its AND mask."""
    size = CURSOR_SIZE
    rows = [r.ljust(size, '.') for r in rows] + ['.' * size] * (size - len(rows))
    stride = size // 8

    def plane(bit_of):
        out = b''
        for row in reversed(rows):
            value = 0
            for x, c in enumerate(row):
                value |= bit_of(c) << (size - 1 - x)
            out += value.to_bytes(stride, 'big')
        return out

    xor = plane(lambda c: 1 if c == 'o' else 0)
    mask = plane(lambda c: 1 if c == '.' else 0)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    colours = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    dib = info + colours + xor + mask
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', size, size, 2, 0, hotspot[0], hotspot[1], len(dib), 6 + 16)
    return directory + entry + dib


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in GLYPHS.items():
        assert len(rows) == SIZE and all(len(r) == SIZE for r in rows), name
        with open(os.path.join(here, name + '.bmp'), 'wb') as f:
            f.write(bmp(rows))
    with open(os.path.join(here, 'cv_handpoint.cur'), 'wb') as f:
        f.write(cursor(HAND, HAND_HOTSPOT))


if __name__ == '__main__':
    main()
