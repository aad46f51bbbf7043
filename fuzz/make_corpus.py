#!/usr/bin/env python3
"""Writes seed corpora for the fuzz targets: fuzz/make_corpus.py OUTDIR
OUTDIR/reader: library files of both layouts, cut and run-on variants.
OUTDIR/compare: table pairs with duplicates, case variants and empty names, some with
comparison options."""
import os
import sys

out = sys.argv[1]
reader = os.path.join(out, "reader")
compare = os.path.join(out, "compare")
os.makedirs(reader, exist_ok=True)
os.makedirs(compare, exist_ok=True)


def long_lib(records):
    data = bytearray(b"\xff\xff" + bytes(12 + 144))
    for fields in records:
        data += b"".join(f + b"\0" for f in fields).ljust(144, b"\0")[:144]
    return bytes(data)


def short_lib(records):
    data = bytearray(b"SL" + bytes(12 + 64))
    for symbol, designation in records:
        slot = bytearray(64)
        slot[0:len(symbol)] = symbol
        slot[18:18 + len(designation)] = designation
        data += slot[:64]
    return bytes(data)


seeds = {
    "long": long_lib([(b"ABC", b"Relais", b"K", b""), (b"M\xf6tor", b"Antrieb", b"E", b"X")]),
    "short": short_lib([(b"S1", b"Schalter"), (b"\xc4nderung", b"Gr\xfc\xdfe")]),
    "long_runon": long_lib([(b"A" * 100, b"B" * 60, b"c", b"d")]) + b"x" * 30,
    "short_runon": short_lib([(b"A" * 20, b"")]) + b"\n" * 3,
    "line_feeds": long_lib([(b"A\nB", b"C", b"D", b"E")]),
    "tiny": b"\xff\xff",
    "empty": b"",
}
for name, data in seeds.items():
    with open(os.path.join(reader, name), "wb") as f:
        f.write(data)
    with open(os.path.join(reader, name + "_cut"), "wb") as f:
        f.write(data[: len(data) * 2 // 3])

pairs = {
    "abc_bcd": b"A|a|1|x\nB|b\nC\0B|bb\nC\nD",
    "case": b"Motor\nmotor\0motor\nMOTOR",
    "dups": b"X\nX\0X\nX\nX",
    "empty_names": b"\n|d\nA\0\nA|z",
    # A first byte below 8 selects the comparison options (1 case, 2 blanks,
    # 4 classifications).
    "options_case": b"\x01K|MOTOR\nX|a|b\0K|motor\nX|A|B",
    "options_blanks": b"\x02K|Relais \nK|x\0K| Relais\nK|x\t",
    "options_all": b"\x07K|A |k1\nK|b|k\0K| a|k2\nK|B\xa0|k",
}
for name, data in pairs.items():
    with open(os.path.join(compare, name), "wb") as f:
        f.write(data)
