#!/usr/bin/env python3
"""Draws the application icon (two overlapping library sheets) as PNG files
at 16, 32 and 48 pixels into resources/icons/. Uses only the standard library."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "icons")

BACK_SHEET = (0x2E, 0x6D, 0xB4, 255)   # library 1: blue
FRONT_SHEET = (0xF2, 0xA9, 0x00, 255)  # library 2: amber
PAPER = (0xFF, 0xFF, 0xFF, 255)
LINE = (0x40, 0x40, 0x40, 255)
EDGE = (0x20, 0x20, 0x20, 255)


def draw(size):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    s = size / 48.0

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(round(y0 * s)), int(round(y1 * s))):
            for x in range(int(round(x0 * s)), int(round(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    def sheet(x0, y0, x1, y1, colour):
        rect(x0, y0, x1, y1, EDGE)
        rect(x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5, PAPER)
        rect(x0 + 1.5, y0 + 1.5, x1 - 1.5, y0 + 8, colour)  # header band
        y = y0 + 12
        while y + 2 < y1 - 3:
            rect(x0 + 5, y, x1 - 5, y + 2, LINE)  # symbol lines
            y += 6

    sheet(3, 3, 31, 39, BACK_SHEET)
    sheet(17, 9, 45, 45, FRONT_SHEET)
    return px


def png(pixels):
    size = len(pixels)
    raw = b"".join(b"\x00" + b"".join(struct.pack("4B", *p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for size in (16, 32, 48):
        with open(os.path.join(OUT, "libcompare-%d.png" % size), "wb") as f:
            f.write(png(draw(size)))
