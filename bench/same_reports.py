#!/usr/bin/env python3
"""Whether two builds of libcompare-cli write the same bytes.

    same_reports.py REFERENCE_CLI CLI [A.1 B.1]

Runs both programs on every pair of a set of libraries (repeated names, case
twins, control bytes, quotes, the short layout, shuffled names, fields that run
on, a file of one byte, the examples) and, if given, on A.1 and B.1 both ways,
in every format, and compares standard output, standard error and the exit
status; and so for the help, the version and command lines that are wrong
(unknown options, --format missing, twice or unknown, too few or too many
files, a missing file). For speed work: every report must stay the same to the
byte.
"""
import hashlib
import itertools
import os
import random
import subprocess
import sys
import tempfile

reference, candidate = sys.argv[1:3]
extra = sys.argv[3:5]


def long_library(records):
    data = bytearray(b"\xff\xff" + bytes(12) + bytes(144))
    for fields in records:
        slot = b"\0".join(fields) + b"\0"
        data += slot[:144].ljust(144, b"\0")
    return bytes(data)


def short_library(records):
    data = bytearray(bytes(14) + bytes(64))
    for name, designation in records:
        data += name[:18].ljust(18, b"\0") + designation[:46].ljust(46, b"\0")
    return bytes(data)


def libraries(folder):
    rng = random.Random(7)
    names = [b"Motor", b"motor", b"MOTOR", b"Pumpe", b"Pumpe", b"Ventil", b"\xc4rger", b"a\x01b",
             b"x\x1b[31m", b"", b" Relais", b"Relais ", b"=SUM(1)", b"Sch\xfctz", b"\xdf", b"\x81\x8d",
             b"back\\slash", b"Bez \"x\""]

    def record(name):
        return [name, rng.choice([b"D1", b"D2", b'Bez "x", y', b"\xe4\xf6"]),
                rng.choice([b"K", b"", b"L"]), rng.choice([b"", b"G"])]

    shuffled = [b"N%06d" % i for i in range(20000)]
    rng.shuffle(shuffled)
    files = {
        "dup1.1": long_library([record(rng.choice(names)) for _ in range(300)]),
        "dup2.1": long_library([record(rng.choice(names)) for _ in range(300)]),
        "short.1": short_library([(rng.choice(names), b"desc") for _ in range(50)]),
        "shuf1.1": long_library([[n, b"d", b"k", b""] for n in shuffled]),
        "shuf2.1": long_library([[n, b"d" if rng.random() < 0.9 else b"e", b"k", b""]
                                 for n in shuffled[:15000]] +
                                [[b"X%d" % i, b"", b"", b""] for i in range(3000)]),
        "runon.1": b"\xff\xff" + b"A" * 1000 + b"\0" + b"B\nC" * 300,
        "tiny.1": b"\xff",
    }
    paths = []
    for name, data in files.items():
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            f.write(data)
        paths.append(path)
    examples = os.path.join(os.path.dirname(__file__), "..", "examples")
    paths += sorted(os.path.join(examples, n) for n in os.listdir(examples) if n.endswith(".1"))
    return paths


def command_lines(a, b):
    missing = os.path.join(os.path.dirname(a), "fehlt.1")
    return [["--help"], ["-h"], ["--version"], ["-v"], ["--help", a], ["--version", a, b],
            [], [a], [a, b, a], ["--", a, b, "-x"], ["--", a], ["-x"], ["-x", a, b], [a, "-y"],
            ["--farbe=rot", a, b], ["--", "-x", b], ["--format"], ["--format", a, b],
            ["--format="], ["--format=", a, b], ["-f"], ["-f", "json", "-f", "csv", a, b],
            ["--format=json", "--format=json", a, b], ["--format", "xml", a, b],
            ["--format=XML\x1b[31m", a, b], ["--format", "xml", a], ["-x", "--format"],
            [a, missing], [missing, a], [a, os.path.dirname(a)], [a, b, "--", "-x"]]


def said(program, arguments):
    run = subprocess.run([program] + arguments, capture_output=True)
    return run.stdout, run.stderr, run.returncode


def outcome(program, fmt, a, b):
    run = subprocess.run([program, "--format", fmt, a, b], capture_output=True)
    return hashlib.md5(run.stdout).hexdigest(), run.stderr, run.returncode


with tempfile.TemporaryDirectory() as folder:
    pairs = list(itertools.product(libraries(folder), repeat=2))
    if len(extra) == 2:
        pairs += [tuple(extra), tuple(reversed(extra))]
    differ = 0
    for (a, b), fmt in itertools.product(pairs, ("text", "csv", "csv-excel", "json")):
        if outcome(reference, fmt, a, b) != outcome(candidate, fmt, a, b):
            differ += 1
            print(f"DIFFERENT: --format {fmt} {a} {b}")
    lines = command_lines(*pairs[0])
    for arguments in lines:
        if said(reference, arguments) != said(candidate, arguments):
            differ += 1
            print("DIFFERENT:", *arguments)
    print(f"{len(pairs) * 4 + len(lines)} runs, {differ} different")
    sys.exit(1 if differ else 0)
