#!/usr/bin/env python3
"""What reading the libraries into memory costs by itself, against mapping them.

    read_cost.py A.1 [B.1 ...]

Prints, for three rounds, the time to read the files whole into memory (as the
reader does) and the time to map them read-only and touch every page.
"""
import mmap
import sys
import time

files = sys.argv[1:]
for _ in range(3):
    start = time.perf_counter()
    for name in files:
        with open(name, "rb") as f:
            data = f.read()
        del data
    read = time.perf_counter() - start
    start = time.perf_counter()
    for name in files:
        with open(name, "rb") as f, mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ) as m:
            sum(m[i] for i in range(0, len(m), mmap.PAGESIZE))
    mapped = time.perf_counter() - start
    print(f"   read whole: {read:.3f} s   mapped, every page touched: {mapped:.3f} s")
