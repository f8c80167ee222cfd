#!/usr/bin/env python3
"""Writes a folder tree for the folder-scan benchmark, from the Linux side.

Usage: make_scan_tree.py TARGET FILES ICON_LIBRARY

TARGET gets FILES files in FILES / 10 folders: one file in TARGET itself
(first.dll, which the benchmark opens so that the search pane finds its
folder), nine in the first of FILES / 100 top folders and ten in every
other folder, each top folder having nine subfolders. Every file is a copy
of ICON_LIBRARY, so that every file holds an icon; the names end in .dll,
.exe and .ocx in turn.

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
LAYOUT = "v2"
EXTENSIONS = (".dll", ".exe", ".ocx")


def fill(folder, data, count):
    os.makedirs(folder)
    for i in range(count):
        with open(os.path.join(folder, "lib%d%s" % (i, EXTENSIONS[i % 3])), "wb") as f:
            f.write(data)


def main():
    target, files, icon_library = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    if files < 100 or files % 100:
        sys.exit("FILES must be a multiple of 100")
    stamp = target + ".done"
    wanted = "%s %d %d\n" % (LAYOUT, files, os.path.getsize(icon_library))
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
        data = f.read()
    with open(os.path.join(target, "first.dll"), "wb") as f:
        f.write(data)
    for t in range(files // (FILES_PER_FOLDER * (SUBFOLDERS + 1))):
        top = os.path.join(target, "t%04d" % t)
        fill(top, data, FILES_PER_FOLDER - 1 if t == 0 else FILES_PER_FOLDER)
        for s in range(SUBFOLDERS):
            fill(os.path.join(top, "s%d" % s), data, FILES_PER_FOLDER)
    with open(stamp, "w") as f:
        f.write(wanted)
    print("wrote", target)


if __name__ == "__main__":
    main()
