#!/usr/bin/env python3
"""Writes a folder tree for the folder-scan benchmark, from the Linux side.

Usage: make_scan_tree.py TARGET FILES ICON_LIBRARY PLAIN_EXE

TARGET gets FILES / 100 top folders, each holding ten files of its own and
nine subfolders of ten files each, so that FILES files lie in FILES / 10
folders. In every folder one file is a copy of ICON_LIBRARY (a library with
icons), one a copy of PLAIN_EXE (a real executable without icons), and the
other eight are small stand-ins of a few hundred bytes that begin like a DOS
program and hold no icon structure. The names end in .dll, .exe and .ocx.

Writing this many files from inside Wine is slow (Wine looks through the
whole folder for every new name), so the benchmark has it written here. A
tree that is complete (its stamp file beside it names the same layout) is
kept; anything else at TARGET is replaced.
"""
import os
import shutil
import sys

FILES_PER_FOLDER = 10
SUBFOLDERS = 9
LAYOUT = "v1"


def stand_in(index):
    # "MZ" and a header that points past the end: a plain DOS program, no
    # executable that could carry icons.
    body = bytearray(b"MZ" + bytes(62) + b"stand-in %d " % index)
    body.extend(bytes((index * 7 + i) & 0xFF for i in range(256 + index % 200)))
    body[60:64] = (0x7FFFFFF0).to_bytes(4, "little")
    return bytes(body)


def fill(folder, icon_bytes, plain_bytes, stand_ins):
    os.mkdir(folder)
    extensions = (".dll", ".exe", ".ocx")
    for i in range(FILES_PER_FOLDER):
        if i == 0:
            name, data = "icons%d.dll" % i, icon_bytes
        elif i == 1:
            name, data = "plain%d.exe" % i, plain_bytes
        else:
            name, data = "stub%d%s" % (i, extensions[i % 3]), stand_ins[i]
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def main():
    target, files, icon_library, plain_exe = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    stamp = target + ".done"
    wanted = "%s %d %s %s\n" % (LAYOUT, files, os.path.getsize(icon_library), os.path.getsize(plain_exe))
    if os.path.isdir(target) and os.path.exists(stamp):
        with open(stamp) as f:
            if f.read() == wanted:
                print("kept", target)
                return
    if os.path.exists(stamp):
        os.remove(stamp)
    shutil.rmtree(target, ignore_errors=True)
    os.makedirs(target)
    with open(icon_library, "rb") as f:
        icon_bytes = f.read()
    with open(plain_exe, "rb") as f:
        plain_bytes = f.read()
    stand_ins = [stand_in(i) for i in range(FILES_PER_FOLDER)]
    tops = files // (FILES_PER_FOLDER * (SUBFOLDERS + 1))
    for t in range(tops):
        top = os.path.join(target, "t%04d" % t)
        fill(top, icon_bytes, plain_bytes, stand_ins)
        for s in range(SUBFOLDERS):
            fill(os.path.join(top, "s%d" % s), icon_bytes, plain_bytes, stand_ins)
    with open(stamp, "w") as f:
        f.write(wanted)
    print("wrote", target)


if __name__ == "__main__":
    main()
