#!/usr/bin/env python3
"""Two or more builds side by side, taking turns, on one pair of libraries.

    against.py RUNS A.1 B.1 NAME=BIN_DIR [NAME=BIN_DIR ...] [--format F ...] [--dialog]

For each format (default text) the median wall time of RUNS runs of each
build's libcompare-cli and of the baseline (`LC_ALL=C sort` + `comm` of the
bare names, as figures.py runs it), as a ratio to the baseline; with --dialog
also dialog_bench's time from OK in the chooser to the filled lists. A
BIN_DIR:one-thread entry runs that build with LIBCOMPARE_ONE_THREAD=1. The
programs take turns, so that a machine whose speed drifts does so for all.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from library_names import write_names as names  # noqa: E402

args = sys.argv[1:]
dialog = "--dialog" in args
formats = [args[i + 1] for i, a in enumerate(args) if a == "--format"] or ["text"]
args = [a for i, a in enumerate(args)
        if a != "--dialog" and a != "--format" and (i == 0 or args[i - 1] != "--format")]
# Absolute paths: the dialog's file chooser takes a relative one as relative
# to the folder it opens in, the one chosen last.
runs, lib_a, lib_b = int(args[0]), os.path.abspath(args[1]), os.path.abspath(args[2])
builds = []
for build in args[3:]:
    name, folder = build.split("=", 1)
    env = None
    if folder.endswith(":one-thread"):
        folder = folder[: -len(":one-thread")]
        env = dict(os.environ, LIBCOMPARE_ONE_THREAD="1")
    builds.append((name, folder, env))


def wall(argv, env=None):
    start = time.perf_counter()
    with open(os.devnull, "wb") as sink:
        status = subprocess.call(argv, stdout=sink, env=env)
    if status not in (0, 1):
        sys.exit(f"{argv[0]} failed")
    return time.perf_counter() - start


def dialog_time(folder, env):
    env = dict(env or os.environ, QT_QPA_PLATFORM="offscreen")
    out = subprocess.run([os.path.join(folder, "dialog_bench"), "--only-timing", lib_a, lib_b],
                         env=env, capture_output=True, text=True, check=True).stdout
    line = [l for l in out.splitlines() if "both libraries" in l][0]
    return float(line.split(":")[-1].split()[0])


with tempfile.TemporaryDirectory() as work:
    na, nb = os.path.join(work, "a"), os.path.join(work, "b")
    names(lib_a, na)
    names(lib_b, nb)
    baseline = ["bash", "-c", f"LC_ALL=C sort '{na}' > '{work}/a.s'; LC_ALL=C sort '{nb}' > "
                f"'{work}/b.s'; LC_ALL=C comm '{work}/a.s' '{work}/b.s' > /dev/null"]
    times = {}
    for _ in range(runs):
        times.setdefault("baseline", []).append(wall(baseline))
        for fmt in formats:
            for name, folder, env in builds:
                cli = [os.path.join(folder, "libcompare-cli"), "--format", fmt, lib_a, lib_b]
                times.setdefault((fmt, name), []).append(wall(cli, env))
        for name, folder, env in builds if dialog else []:
            times.setdefault(("dialog", name), []).append(dialog_time(folder, env))

base = statistics.median(times["baseline"])
print(f"   baseline (sort + comm): {base:.3f} s (median of {runs}, "
      f"{min(times['baseline']):.3f}-{max(times['baseline']):.3f})")
for key, values in times.items():
    if key == "baseline":
        continue
    what, name = key
    m = statistics.median(values)
    ratio = f" = {m / base:.2f} x" if what != "dialog" else ""
    print(f"   {what:<6} {name:<14} {m:.3f} s{ratio} ({min(values):.3f}-{max(values):.3f})")
