#!/usr/bin/env python3
"""The end-to-end figures against the baseline, in one run, for one pair of
libraries or several side by side.

    figures.py BIN_DIR A.1 B.1 [A2.1 B2.1 ...] [RUNS]

Baseline: `LC_ALL=C sort` of each side's bare names plus `comm`. Each figure
is the median of RUNS runs (default 5), the programs and the pairs taking
turns, so that a machine whose speed drifts does so for every column alike.
The CLI also runs with LIBCOMPARE_ONE_THREAD=1, to show what the second
thread buys. One column per pair, headed by its first file's name.
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
runs = 5
if len(args) % 2 == 0 and args[-1].isdigit():
    runs = int(args.pop())
if len(args) < 3 or len(args) % 2 == 0:
    sys.exit("usage: figures.py BIN_DIR A.1 B.1 [A2.1 B2.1 ...] [RUNS]")
bin_dir = args[0]
# Absolute paths: the dialog's file chooser takes a relative one as relative
# to the folder it opens in, the one chosen last.
pairs = [(os.path.abspath(args[i]), os.path.abspath(args[i + 1])) for i in range(1, len(args), 2)]


def run(argv, env=None):
    """Wall time and peak resident memory (bytes) of one process."""
    start = time.perf_counter()
    with open(os.devnull, "wb") as sink:
        child = subprocess.Popen(argv, stdout=sink, env=env)
        _, status, usage = os.wait4(child.pid, 0)
    took = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) not in (0, 1):
        sys.exit(f"{argv[0]} failed")
    return took, usage.ru_maxrss * 1024


def dialog_time(lib_a, lib_b):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    out = subprocess.run([os.path.join(bin_dir, "dialog_bench"), "--only-timing", lib_a, lib_b],
                         env=env, capture_output=True, text=True).stdout
    if "both libraries" not in out:  # a build without --only-timing
        out = subprocess.run([os.path.join(bin_dir, "dialog_bench"), lib_a, lib_b],
                             env=env, capture_output=True, text=True, check=True).stdout
    line = [l for l in out.splitlines() if "both libraries" in l][0]
    return float(line.split(":")[-1].split()[0])


cli = os.path.join(bin_dir, "libcompare-cli")
formats = ("text", "csv", "json", "html")
one_thread = dict(os.environ, LIBCOMPARE_ONE_THREAD="1")
# A build of the CLI alone has no dialog to time.
has_dialog = os.path.exists(os.path.join(bin_dir, "dialog_bench"))
times = [{} for _ in pairs]  # per pair: what -> [seconds]
peaks = [{} for _ in pairs]  # per pair: format -> bytes
with tempfile.TemporaryDirectory() as work:
    baselines = []
    for p, (lib_a, lib_b) in enumerate(pairs):
        na, nb = os.path.join(work, f"{p}a.names"), os.path.join(work, f"{p}b.names")
        names(lib_a, na)
        names(lib_b, nb)
        baselines.append([
            "bash", "-c",
            f"LC_ALL=C sort '{na}' > '{work}/a.s'; LC_ALL=C sort '{nb}' > '{work}/b.s'; "
            f"LC_ALL=C comm '{work}/a.s' '{work}/b.s' > /dev/null",
        ])
    for _ in range(runs):
        for p, (lib_a, lib_b) in enumerate(pairs):
            t = times[p]
            t.setdefault("baseline", []).append(run(baselines[p])[0])
            for fmt in formats:
                took, peak = run([cli, "--format", fmt, lib_a, lib_b])
                t.setdefault(fmt, []).append(took)
                peaks[p][fmt] = max(peaks[p].get(fmt, 0), peak)
                t.setdefault(fmt + " one thread", []).append(
                    run([cli, "--format", fmt, lib_a, lib_b], one_thread)[0])
    for _ in range(3 if has_dialog else 0):
        for p, (lib_a, lib_b) in enumerate(pairs):
            times[p].setdefault("dialog", []).append(dialog_time(lib_a, lib_b))


def row(label, cells, target=""):
    print(f"   {label:<34}" + "".join(f"{c:<26}" for c in cells) + target)


median = statistics.median
base = [median(t["baseline"]) for t in times]
files = [os.path.getsize(a) + os.path.getsize(b) for a, b in pairs]
print(f"   {os.cpu_count()} cores; medians of {runs} runs" + (" (the dialog: of 3)" if has_dialog else ""))
row("", [os.path.basename(a) for a, _ in pairs], "target")
row("baseline (sort + comm)", [f"{b:.3f} s" for b in base])
for fmt in formats:
    cells, one_cells = [], []
    for p, t in enumerate(times):
        m, one = median(t[fmt]), median(t[fmt + " one thread"])
        cells.append(f"{m:.3f} s = {m / base[p]:.2f} x")
        one_cells.append(f"{one:.3f} s = {one / base[p]:.2f} x")
    row(f"libcompare-cli --format {fmt}", cells, "<= 0.8 x" if fmt != "html" else "")
    row(f"  on one thread", one_cells)
for fmt in formats:
    row(f"peak memory, {fmt}",
        [f"{peaks[p][fmt] / 2**20:.0f} MiB = {peaks[p][fmt] / files[p]:.2f} x" for p in
         range(len(pairs))], "<= 1.5 x the two files")
row("html against json, time / memory",
    [f"{median(t['html']) / median(t['json']):.2f} x / "
     f"{peaks[p]['html'] / peaks[p]['json']:.2f} x" for p, t in enumerate(times)], "<= 1.5 x each")
if has_dialog:
    row("dialog, OK to filled lists", [f"{median(t['dialog']):.3f} s" for t in times], "<= 0.8 s")
