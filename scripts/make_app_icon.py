#!/usr/bin/env python3
"""Draws the program's icon (app/tamsel.ico): a 3 x 3 grid of coloured tiles,
the middle one framed as selected, at 16, 32 and 48 pixels, 32 bits with
alpha. Run it again only to change the picture; the .ico is kept in the tree
so that builds on Windows need no Python."""
import struct
import sys

TILES = [0x2F6FDE, 0xE8A33C, 0x43A047, 0xD84343, 0xFFFFFF, 0x8E5BD0, 0x26A6B8, 0xF2C94C, 0x6D7B8D]
FRAME = 0x1E3A8A


def pixel(size, x, y):
    pad = max(1, size // 16)
    cell = (size - 2 * pad) // 3
    gx, gy = (x - pad) // cell if x >= pad else -1, (y - pad) // cell if y >= pad else -1
    if not (0 <= gx < 3 and 0 <= gy < 3):
        return 0x00000000
    lx, ly = (x - pad) % cell, (y - pad) % cell
    gap = max(1, cell // 8)
    if lx < gap or ly < gap:
        return 0x00000000
    colour = TILES[gy * 3 + gx]
    if gx == 1 and gy == 1:
        border = max(1, cell // 6)
        if lx < gap + border or ly < gap + border or lx >= cell - border or ly >= cell - border:
            colour = FRAME
    return 0xFF000000 | colour


def image(size):
    rows = [[pixel(size, x, y) for x in range(size)] for y in range(size)]
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, size * size * 4, 0, 0, 0, 0)
    xor = b"".join(struct.pack("<%dI" % size, *row) for row in reversed(rows))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, v in enumerate(row):
            if v >> 24 == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main(path):
    sizes = [32, 16, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/tamsel.ico")
