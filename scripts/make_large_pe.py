#!/usr/bin/env python3
"""Writes a library of SIZE megabytes for the memory figure of tamsel-cli.

Usage: make_large_pe.py OUT SIZE_MB

The library holds one icon (16, 32 and 48 pixels at 32 bits) and one raw
data resource that takes up the rest of the file.  It is built by the
fixtures' toolchain (windres and the MinGW linker) with a small data
resource, which is then moved to the end of the resource section and made
SIZE_MB long, the section and the image grown to hold it; the large
resource is written in blocks, so this script never holds it whole.
"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "fixtures"))

import damage  # noqa: E402
import icofile  # noqa: E402
from icofile import Image, pattern  # noqa: E402

RT_RCDATA = 10


def align(value, unit):
    return (value + unit - 1) // unit * unit


def small_library(work):
    def colour(x, y):
        return 0xFF000000 | (x * 5) << 16 | (y * 5) << 8 | 0x40

    ico = os.path.join(work, "icon.ico")
    icofile.write_ico(ico, [Image(s, s, 32, pattern(s, s, colour)) for s in (16, 32, 48)])
    placeholder = os.path.join(work, "data.bin")
    with open(placeholder, "wb") as f:
        f.write(b"\0" * 16)
    rc = os.path.join(work, "big.rc")
    with open(rc, "w") as f:
        f.write('1 ICON "%s"\n2 RCDATA "%s"\n' % (ico, placeholder))
    obj = os.path.join(work, "big.o")
    dll = os.path.join(work, "big.dll")
    windres = os.environ.get("WINDRES") or "i686-w64-mingw32-windres"
    cc = os.environ.get("MINGW_CC") or "i686-w64-mingw32-gcc"
    subprocess.run([windres, "-O", "coff", "-i", rc, "-o", obj], check=True)
    subprocess.run([cc, "-shared", "-nostdlib", "-s", "-Wl,-e,0", obj, "-o", dll], check=True)
    with open(dll, "rb") as f:
        return bytearray(f.read())


def main(argv):
    if len(argv) != 3:
        print(__doc__.splitlines()[2], file=sys.stderr)
        return 2
    out, size = argv[1], int(argv[2]) << 20
    with tempfile.TemporaryDirectory(prefix="tamsel-large-pe-") as work:
        data = small_library(work)
    headers = damage.pe_headers(data)
    section = damage.rsrc_section(data)
    if any(s["va"] > section["va"] or s["rawptr"] > section["rawptr"] for s in headers["sections"]):
        raise SystemExit("the resource section is not the library's last")
    opt = headers["pe"] + 24
    section_alignment, file_alignment = struct.unpack_from("<II", data, opt + 32)
    (entry, _, _), = damage.resource_entries(data, RT_RCDATA)

    # The large resource starts right behind what the section holds now.
    rva = section["va"] + align(max(section["vsize"], section["rawsize"]), 16)
    start = section["rawptr"] + rva - section["va"]
    end = align(start + size, file_alignment)
    struct.pack_into("<II", data, entry, rva, size)
    struct.pack_into("<IIII", data, section["offset"] + 8, rva + size - section["va"], section["va"],
                     end - section["rawptr"], section["rawptr"])
    struct.pack_into("<I", data, opt + 56, align(rva + size, section_alignment))
    data.extend(b"\0" * (start - len(data)))

    block = bytes(range(256)) * 4096  # 1 MiB
    with open(out, "wb") as f:
        f.write(data)
        left = end - start
        while left > 0:
            n = min(left, len(block))
            f.write(block[:n])
            left -= n
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
