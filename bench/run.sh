#!/usr/bin/env bash
# Runs the benchmarks and prints the figures. Release build in build/.
#   bench/run.sh [RECORDS]   (default 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."
records=${1:-1000000}
make build >/dev/null
bin=build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== generating two long-layout libraries of $records records"
$bin/generate_library "$work/a.1" "$records" 1
$bin/generate_library "$work/b.1" "$records" 2
ls -l "$work/a.1" "$work/b.1" | awk '{print "   " $5 " bytes  " $9}'

echo "== end to end, against LC_ALL=C sort + comm of the bare names (medians)"
python3 bench/figures.py "$bin" "$work/a.1" "$work/b.1"

echo "== reading both files into memory, against mapping them"
python3 bench/read_cost.py "$work/a.1" "$work/b.1"

echo "== reading one library (best of 5)"
for _ in 1 2 3 4 5; do $bin/read_once "$work/a.1"; done | sort -t' ' -k4 -g | head -n 1
$bin/reader_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null |
  grep -E 'BM_|mean|median' || true

echo "== 2504 x 2504: indexed comparison against the nested loop"
$bin/compare_bench

echo "== the dialog (offscreen): duplicates, memory after a reload, a million names"
QT_QPA_PLATFORM=offscreen $bin/dialog_bench "$work/a.1" "$work/b.1" 2>/dev/null
