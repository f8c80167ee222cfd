#!/usr/bin/env python3
"""Draws the toolbar's glyph images into app/glyphs/ as 24-bit BMP files,
and the search pane's decorative strip.

Each image is a strip of two 16 x 16 frames: the glyph as it shows normally
and its disabled look (grey, embossed). The background is magenta, the
colour the buttons treat as transparent (the bottom-left pixel).
Usage: python3 scripts/make_glyphs.py
"""
import os
import struct

SIZE = 16
MAGENTA = (255, 0, 255)
PALETTE = {
    '.': None,                 # background
    'k': (0, 0, 0),
    'g': (128, 128, 128),
    'l': (192, 192, 192),
    'w': (255, 255, 255),
    'y': (240, 200, 64),
    'o': (200, 140, 20),
    'b': (40, 80, 200),
    'c': (90, 160, 230),
    'r': (200, 40, 40),
    'n': (0, 128, 0),
}

GLYPHS = {
    'open': [
        "................",
        "................",
        "..kkkkk.........",
        ".kyyyyyk........",
        ".kyyyyyykkkkkk..",
        ".kyyyyyyyyyyyk..",
        ".kyykkkkkkkkkkkk",
        ".kyykoooooooooko",
        ".kykoooooooooko.",
        ".kykooooooooook.",
        ".kkoooooooooko..",
        ".kkooooooooook..",
        ".kkkkkkkkkkkk...",
        "................",
        "................",
        "................",
    ],
    'save': [
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbbkkkkkkkkbbk.",
        ".kbbbbbbbbbbbbk.",
        ".kbbkkkkkkkkbbk.",
        ".kbbkllkkkkkbbk.",
        ".kbbkllkkkkkbbk.",
        ".kbbkllkkkkkbbk.",
        "..kkkkkkkkkkkkk.",
        "................",
        "................",
        "................",
    ],
    'copy': [
        "kkkkkkk.........",
        "kwwwwwkk........",
        "kwkkkwkwk.......",
        "kwwwwwkkkk......",
        "kwkkkkkkkkkkk...",
        "kwwwwkwwwwwkwk..",
        "kwkkkkwkkkwkwwk.",
        "kwwwwkwwwwwkkkkk",
        "kkkkkkwkkkkkkwwk",
        "......wwwwwwwwwk",
        "......wkkkkkkkwk",
        "......wwwwwwwwwk",
        "......wkkkkkkkwk",
        "......wwwwwwwwwk",
        "......kkkkkkkkkk",
        "................",
    ],
    'print': [
        "................",
        "....kkkkkkkk....",
        "....kwwwwwwk....",
        "....kwkkkkwk....",
        "....kwwwwwwk....",
        "..kkkkkkkkkkkk..",
        ".kllllllllllllk.",
        ".kllllllllllnlk.",
        ".kllllllllllllk.",
        ".kggggggggggggk.",
        ".kkkkkkkkkkkkkk.",
        "..kwwwwwwwwwwk..",
        "..kwkkkkkkkkwk..",
        "..kwwwwwwwwwwk..",
        "..kkkkkkkkkkkk..",
        "................",
    ],
    'refresh': [
        "................",
        "......nnnn......",
        "....nnnnnnnn.n..",
        "...nnn....nnnn..",
        "..nnn......nnn..",
        "..nn......nnnn..",
        ".nn.............",
        ".nn.............",
        ".............nn.",
        ".............nn.",
        "..nnnn......nn..",
        "..nnn......nnn..",
        "..nnnn....nnn...",
        "..n.nnnnnnnn....",
        "......nnnn......",
        "................",
    ],
    'help': [
        "................",
        ".....bbbbbb.....",
        "...bbbbbbbbbb...",
        "..bbbbwwwwbbbb..",
        "..bbbwwbbwwbbb..",
        ".bbbbbbbbwwbbbb.",
        ".bbbbbbbwwbbbbb.",
        ".bbbbbbwwbbbbbb.",
        ".bbbbbbwwbbbbbb.",
        ".bbbbbbbbbbbbbb.",
        "..bbbbbwwbbbbb..",
        "..bbbbbwwbbbbb..",
        "...bbbbbbbbbb...",
        ".....bbbbbb.....",
        "................",
        "................",
    ],
    'about': [
        "................",
        ".....cccccc.....",
        "...cccccccccc...",
        "..cccccwwccccc..",
        "..cccccwwccccc..",
        ".cccccccccccccc.",
        ".ccccwwwwcccccc.",
        ".cccccccwwccccc.",
        ".cccccccwwccccc.",
        ".cccccccwwccccc.",
        "..cccccwwccccc..",
        "..ccccwwwwcccc..",
        "...cccccccccc...",
        ".....cccccc.....",
        "................",
        "................",
    ],
    'finddir': [
        "................",
        "................",
        "..kkkkk.........",
        ".kyyyyyk........",
        ".kyyyyyykkkkkk..",
        ".kyyyyyyyyyyyk..",
        ".kyyyyyyyyyyyk..",
        ".kyyyyykkkkyyk..",
        ".kyyyykwwwwkyk..",
        ".kyyyykwwwwkyk..",
        ".kyyyykwwwwkyk..",
        ".kyyyyykkkkkk...",
        ".kkkkkkkkkkkkkk.",
        "............kkk.",
        ".............kk.",
        "................",
    ],
}


def frames(rows):
    """The normal frame and the disabled one (ink grey, a white copy below right)."""
    normal = [[PALETTE[ch] or MAGENTA for ch in row] for row in rows]
    disabled = [[MAGENTA] * SIZE for _ in range(SIZE)]
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if PALETTE[ch] is not None and x + 1 < SIZE and y + 1 < SIZE:
                disabled[y + 1][x + 1] = (255, 255, 255)
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if PALETTE[ch] is not None:
                disabled[y][x] = (128, 128, 128)
    return normal, disabled


def write_bmp(path, pixels):
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def pane_strip(width=13, height=121):
    """The search pane's decoration between the count and the file list: a
    bracket along the list with an arrow in its middle pointing at it."""
    blue, light = (40, 80, 200), (150, 175, 235)
    pixels = [[MAGENTA] * width for _ in range(height)]
    for y in range(2, height - 2):
        pixels[y][4] = blue
        pixels[y][5] = light
    for x in range(4, width - 1):
        pixels[2][x] = blue
        pixels[height - 3][x] = blue
    middle = height // 2
    for dx in range(6):
        for dy in range(-(5 - dx), 6 - dx):
            pixels[middle + dy][6 + dx] = blue
    return pixels


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'app', 'glyphs')
    os.makedirs(out, exist_ok=True)
    for name, rows in GLYPHS.items():
        assert len(rows) == SIZE and all(len(r) == SIZE for r in rows), name
        normal, disabled = frames(rows)
        strip = [normal[y] + disabled[y] for y in range(SIZE)]
        write_bmp(os.path.join(out, name + '.bmp'), strip)
    write_bmp(os.path.join(out, 'pane_strip.bmp'), pane_strip())


if __name__ == '__main__':
    main()
