#!/usr/bin/env python3
"""Writes the libraries the Win32 benchmarks open and scan.

Usage: make_icon_library.py OUTDIR COUNT...

For every COUNT, OUTDIR gets library_COUNT.dll: a resource-only 32-bit DLL
with COUNT icon groups, each holding a 16 x 16 and a 32 x 32 image at 32 bits
with a soft alpha edge, as the icons of today's programs are; no two icons
alike. OUTDIR also gets one_icon.dll, a small library with one icon of one
32 x 32 image at 4 bits, the file that fills the folder-scan benchmark's
trees by the ten thousand.

The DLLs are linked by MinGW's windres and gcc through the fixture
generator's context (tests/fixtures/make_fixtures.py), from the environment
variables WINDRES and MINGW_CC.
"""
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures"))

from icofile import Image, encode_ico, pattern  # noqa: E402
from make_fixtures import Context  # noqa: E402


def icon_images(i, bpp=32):
    """Icon i: a disc in a colour of its own with a soft edge, at two sizes
    (below 32 bits the edge is the mask's)."""
    colour = ((i * 97) & 0xFF) << 16 | ((i >> 8) * 53 & 0xFF) << 8 | (i & 0xFF)

    def disc(size):
        centre = (size - 1) / 2.0
        radius = size / 2.0

        def pixel(x, y):
            d = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
            alpha = max(0, min(255, int((radius - d) * 128)))
            return (alpha << 24 | colour) if alpha else 0

        return Image(size, size, bpp, pattern(size, size, pixel))

    return [disc(16), disc(32)]


def main(argv):
    if len(argv) < 3:
        print(__doc__.splitlines()[2], file=sys.stderr)
        return 2
    outdir = os.path.abspath(argv[1])
    os.makedirs(outdir, exist_ok=True)
    work = tempfile.mkdtemp(prefix="tamsel-bench-library-")
    try:
        ctx = Context(outdir, work)
        # The pixels of every distinct icon are encoded once; the groups of a
        # larger library repeat the .ico files of a smaller one.
        largest = max(int(n) for n in argv[2:])
        icos = []
        for i in range(largest):
            path = os.path.join(work, "icon%05d.ico" % i)
            with open(path, "wb") as f:
                f.write(encode_ico(icon_images(i)))
            icos.append(path)
        one = os.path.join(work, "one.ico")
        with open(one, "wb") as f:
            f.write(encode_ico(icon_images(0, bpp=4)[1:]))
        ctx.dll("one_icon.dll", [one])
        for n in argv[2:]:
            ctx.dll("library_%d.dll" % int(n), icos[: int(n)])
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
