#!/usr/bin/env python3
"""Draws the application icon (two overlapping library sheets) from one
drawing: as PNG files at 16, 24, 32, 48, 64, 128 and 256 pixels and as a
scalable SVG, into resources/icons/. Uses only the standard library."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "icons")
SIZES = (16, 24, 32, 48, 64, 128, 256)

BACK_SHEET = (0x2E, 0x6D, 0xB4, 255)   # library 1: blue
FRONT_SHEET = (0xF2, 0xA9, 0x00, 255)  # library 2: amber
PAPER = (0xFF, 0xFF, 0xFF, 255)
LINE = (0x40, 0x40, 0x40, 255)
EDGE = (0x20, 0x20, 0x20, 255)


def drawing():
    """The icon as rectangles (x0, y0, x1, y1, colour) on a 48-unit grid,
    painted in order."""
    shapes = []

    def sheet(x0, y0, x1, y1, colour):
        shapes.append((x0, y0, x1, y1, EDGE))
        shapes.append((x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5, PAPER))
        shapes.append((x0 + 1.5, y0 + 1.5, x1 - 1.5, y0 + 8, colour))  # header band
        y = y0 + 12
        while y + 2 < y1 - 3:
            shapes.append((x0 + 5, y, x1 - 5, y + 2, LINE))  # symbol lines
            y += 6

    sheet(3, 3, 31, 39, BACK_SHEET)
    sheet(17, 9, 45, 45, FRONT_SHEET)
    return shapes


def raster(size):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    s = size / 48.0
    for x0, y0, x1, y1, colour in drawing():
        for y in range(int(round(y0 * s)), int(round(y1 * s))):
            for x in range(int(round(x0 * s)), int(round(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour
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


def svg():
    rects = "".join(
        '  <rect x="%g" y="%g" width="%g" height="%g" fill="#%02x%02x%02x"/>\n'
        % (x0, y0, x1 - x0, y1 - y0, *colour[:3])
        for x0, y0, x1, y1, colour in drawing())
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" '
            'viewBox="0 0 48 48">\n' + rects + "</svg>\n")


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(OUT, "libcompare-%d.png" % size), "wb") as f:
            f.write(png(raster(size)))
    with open(os.path.join(OUT, "libcompare.svg"), "w") as f:
        f.write(svg())
