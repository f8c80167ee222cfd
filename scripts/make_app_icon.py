#!/usr/bin/env python3
"""Draws the program's icons at 16, 32 and 48 pixels, 32 bits with alpha:
app/tamsel.ico, a 3 x 3 grid of coloured tiles with the middle one framed as
selected, and the two generic icons that the shell's associated-icon call
takes from the program's resources (ids 2 and 6) when a file has no icon of
its own: app/generic_program.ico (a window) and app/generic_document.ico (a
page). Run it again only to change the pictures; the .ico files are kept in
the tree so that builds on Windows need no Python."""
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


def program_pixel(size, x, y):
    """A window: blue title bar over a white client area, dark frame."""
    pad = max(1, size // 8)
    if not (pad <= x < size - pad and pad <= y < size - pad):
        return 0x00000000
    if x in (pad, size - pad - 1) or y in (pad, size - pad - 1):
        return 0xFF3A4A5C
    if y < pad + max(3, size // 5):
        return 0xFF2F6FDE
    return 0xFFFFFFFF


def document_pixel(size, x, y):
    """A page with a folded corner and a few lines of text."""
    left, right, top, bottom = size // 5, size - size // 5, size // 10, size - size // 10
    if not (left <= x < right and top <= y < bottom):
        return 0x00000000
    fold = max(2, size // 5)
    if x - (right - fold) > y - top:
        return 0x00000000
    if x in (left, right - 1) or y in (top, bottom - 1) or x - (right - fold) == y - top:
        return 0xFF5A6472
    line = max(2, size // 8)
    if left + 2 < x < right - 3 and (y - top - line) % line == 0 and top + line <= y < bottom - line:
        return 0xFFA0A8B4
    return 0xFFFFFFFF


def image(size, draw=pixel):
    rows = [[draw(size, x, y) for x in range(size)] for y in range(size)]
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


def write_icon(path, draw):
    sizes = [32, 16, 48]
    images = [image(s, draw) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


def main(folder):
    write_icon(folder + "/tamsel.ico", pixel)
    write_icon(folder + "/generic_program.ico", program_pixel)
    write_icon(folder + "/generic_document.ico", document_pixel)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app")
