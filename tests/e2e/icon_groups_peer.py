#!/usr/bin/python3
"""Checks Tamsel's all-sizes icon files against an independent reader of
the same executables: python3-pefile (for a 16-bit executable, the few
lines of ne_groups below).

Usage: icon_groups_peer.py LIST

LIST holds one line per source file: "SOURCE<TAB>FOLDER<TAB>BASE", Unix
paths, FOLDER holding Tamsel's files ico_BASE0001.ico ... for SOURCE.

For icon group i of SOURCE, in the order of its resource directory as
pefile reads it (named groups first, then numbered ones; a 16-bit
executable's in the order of its resource table), the file
ico_BASE{i+1:04}.ico must hold exactly the group's images: as many as the
group lists, in its order, each byte for byte the icon resource its entry
names (first language); its directory entries must describe them as the
group does, and ImageMagick's identify must list one frame per image.

Prints one line per difference and, last, "checked F files, G groups,
I images".
"""

import os
import struct
import subprocess
import sys

import pefile

RT_ICON = 3
RT_GROUP_ICON = 14


def first_language_data(pe, entry):
    """The bytes of a name entry's first language."""
    language = entry.directory.entries[0]
    rva, size = language.data.struct.OffsetToData, language.data.struct.Size
    return pe.get_data(rva, size)


def resource_type(pe, type_id):
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for entry in root.entries if root else []:
        if entry.id == type_id:
            return entry.directory.entries
    return []


def groups_of(pe):
    """[(name, [(description, image bytes)])] in directory order."""
    icons = {e.id: e for e in resource_type(pe, RT_ICON) if e.id is not None}
    groups = []
    for entry in resource_type(pe, RT_GROUP_ICON):
        name = str(entry.name) if entry.name is not None else str(entry.id)
        data = first_language_data(pe, entry)
        count, = struct.unpack_from("<H", data, 4)
        frames = []
        for k in range(count):
            raw = data[6 + 14 * k:6 + 14 * k + 14]
            icon_id, = struct.unpack_from("<H", raw, 12)
            frames.append((raw[:8], first_language_data(pe, icons[icon_id]) if icon_id in icons else None))
        groups.append((name, frames))
    return groups


def ne_groups(data):
    """groups_of for a 16-bit executable: the resource table's groups in
    table order, each image found by its number (high bit set)."""
    ne, = struct.unpack_from("<I", data, 0x3C)
    table = ne + struct.unpack_from("<H", data, ne + 0x24)[0]
    shift, = struct.unpack_from("<H", data, table)
    pos, types = table + 2, {}
    while True:
        type_id, count = struct.unpack_from("<HH", data, pos)
        if type_id == 0:
            break
        types[type_id] = [struct.unpack_from("<HHHH", data, pos + 8 + 12 * k) for k in range(count)]
        pos += 8 + 12 * count

    def blob(record):
        offset, length = record[0] << shift, record[1] << shift
        return data[offset:offset + length]

    icons = {record[3]: record for record in types.get(0x8003, [])}
    groups = []
    for record in types.get(0x800E, []):
        group = blob(record)
        count, = struct.unpack_from("<H", group, 4)
        frames = []
        for k in range(count):
            raw = group[6 + 14 * k:6 + 14 * k + 14]
            icon_id, = struct.unpack_from("<H", raw, 12)
            icon = icons.get(icon_id | 0x8000)
            frames.append((raw[:8], blob(icon) if icon else None))
        groups.append((str(record[3] & 0x7FFF) if record[3] & 0x8000 else "?", frames))
    return groups


def ico_images(path):
    """[(description, image bytes)] of an icon file, or a string saying why not."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 6:
        return "too short"
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        return "not an icon file"
    out = []
    for k in range(count):
        entry = data[6 + 16 * k:6 + 16 * k + 16]
        size, offset = struct.unpack_from("<II", entry, 8)
        if offset + size > len(data):
            return "image %d past the end" % k
        out.append((entry[:8], data[offset:offset + size]))
    return out


def frames_identified(path):
    result = subprocess.run(["/usr/bin/identify", path], capture_output=True, text=True)
    return len(result.stdout.splitlines()) if result.returncode == 0 else -1


def check(source, folder, base, report):
    with open(source, "rb") as f:
        data = f.read()
    if data[struct.unpack_from("<I", data, 0x3C)[0]:][:2] == b"NE":
        groups = ne_groups(data)
    else:
        pe = pefile.PE(data=data, fast_load=True)
        pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
        groups = groups_of(pe)
    written = sorted(os.listdir(folder))
    if len(written) != len(groups):
        report("%s: %d files for %d groups" % (source, len(written), len(groups)))
    images = 0
    for i, (name, frames) in enumerate(groups):
        ours_path = os.path.join(folder, "ico_%s%04d.ico" % (base, i + 1))
        if not os.path.exists(ours_path):
            continue
        label = "%s group %d (%s)" % (source, i + 1, name)
        ours = ico_images(ours_path)
        if isinstance(ours, str):
            report("%s: %s" % (label, ours))
            continue
        if [image for _, image in ours] != [image for _, image in frames]:
            report("%s: images differ from the resource's" % label)
        if [d for d, _ in ours] != [d for d, _ in frames]:
            report("%s: descriptions differ from the group's" % label)
        if frames_identified(ours_path) != len(ours):
            report("%s: identify lists %d frames for %d images" % (label, frames_identified(ours_path), len(ours)))
        images += len(ours)
    return len(groups), images


def main(argv):
    if len(argv) != 2:
        print(__doc__.splitlines()[2], file=sys.stderr)
        return 2
    problems = []
    files = groups = images = 0
    with open(argv[1]) as f:
        lines = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    for source, folder, base in lines:
        try:
            g, n = check(source, folder, base, problems.append)
        except Exception as e:  # a reader that fails is a difference too
            problems.append("%s: %s" % (source, e))
            continue
        files += 1
        groups += g
        images += n
    for p in problems:
        print(p)
    print("checked %d files, %d groups, %d images" % (files, groups, images))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
