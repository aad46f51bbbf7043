#!/usr/bin/env python3
"""Packs PNG images into one Windows icon file (the PNG form of ICO entries,
which Windows reads since Vista).

    make_ico.py OUT.ico IMAGE.png ...
"""
import struct
import sys


def png_size(data):
    width, height = struct.unpack(">II", data[16:24])
    return width, height


def main():
    out, images = sys.argv[1], [open(path, "rb").read() for path in sys.argv[2:]]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, blobs = b"", b""
    for data in images:
        width, height = png_size(data)
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data),
                               offset + len(blobs))
        blobs += data
    with open(out, "wb") as ico:
        ico.write(header + entries + blobs)


if __name__ == "__main__":
    main()
