#!/usr/bin/env python3
"""The end-to-end figures against the baseline, in one run.

    figures.py BIN_DIR A.1 B.1 [RUNS]

Baseline: `LC_ALL=C sort` of each side's bare names plus `comm`. Each figure
is the median of RUNS runs (default 5), the programs taking turns. The CLI
also runs with LIBCOMPARE_ONE_THREAD=1, to show what the second thread buys.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from library_names import write_names as names  # noqa: E402

bin_dir, lib_a, lib_b = sys.argv[1:4]
runs = int(sys.argv[4]) if len(sys.argv) > 4 else 5


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


with tempfile.TemporaryDirectory() as work:
    na, nb = os.path.join(work, "a.names"), os.path.join(work, "b.names")
    names(lib_a, na)
    names(lib_b, nb)
    baseline_cmd = [
        "bash", "-c",
        f"LC_ALL=C sort '{na}' > '{work}/a.s'; LC_ALL=C sort '{nb}' > '{work}/b.s'; "
        f"LC_ALL=C comm '{work}/a.s' '{work}/b.s' > /dev/null",
    ]
    cli = os.path.join(bin_dir, "libcompare-cli")
    formats = ("text", "csv", "json", "html")
    one_thread = dict(os.environ, LIBCOMPARE_ONE_THREAD="1")
    times = {"baseline": []}
    peaks = {}
    for fmt in formats:
        times[fmt], times[fmt + " one thread"], peaks[fmt] = [], [], 0
    for _ in range(runs):
        times["baseline"].append(run(baseline_cmd)[0])
        for fmt in formats:
            took, peak = run([cli, "--format", fmt, lib_a, lib_b])
            times[fmt].append(took)
            peaks[fmt] = max(peaks[fmt], peak)
            times[fmt + " one thread"].append(
                run([cli, "--format", fmt, lib_a, lib_b], one_thread)[0])
    dialog = []
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    # A build of the CLI alone has no dialog to time.
    has_dialog = os.path.exists(os.path.join(bin_dir, "dialog_bench"))
    for _ in range(3 if has_dialog else 0):
        out = subprocess.run([os.path.join(bin_dir, "dialog_bench"), "--only-timing", lib_a, lib_b],
                             env=env, capture_output=True, text=True).stdout
        if "both libraries" not in out:  # a build without --only-timing
            out = subprocess.run([os.path.join(bin_dir, "dialog_bench"), lib_a, lib_b],
                                 env=env, capture_output=True, text=True, check=True).stdout
        line = [l for l in out.splitlines() if "both libraries" in l][0]
        dialog.append(float(line.split(":")[-1].split()[0]))

files = os.path.getsize(lib_a) + os.path.getsize(lib_b)
base = statistics.median(times["baseline"])
print(f"   {os.cpu_count()} cores")
print(f"   baseline (sort + comm):           {base:.3f} s")
for fmt in formats:
    t = statistics.median(times[fmt])
    one = statistics.median(times[fmt + " one thread"])
    print(f"   libcompare-cli --format {fmt:<4}:    {t:.3f} s = {t / base:.2f} x the baseline "
          f"(target <= 0.8 x); on one thread {one:.3f} s = {one / base:.2f} x")
for fmt in formats:
    print(f"   peak memory, {fmt:<4}:               {peaks[fmt] / 2**20:.0f} MiB = "
          f"{peaks[fmt] / files:.2f} x the two files (target <= 1.5 x)")
html, json = statistics.median(times["html"]), statistics.median(times["json"])
print(f"   html against json:                time {html / json:.2f} x, peak memory "
      f"{peaks['html'] / peaks['json']:.2f} x (target <= 1.5 x each)")
if dialog:
    print(f"   dialog, OK in the chooser to filled lists, both libraries: "
          f"{statistics.median(dialog):.3f} s (median of 3; target <= 0.8 s)")
