#!/usr/bin/env bash
# Runs the benchmarks and prints the figures, on two pairs of libraries: names
# in alphabetical order, and the same records in random order.
#   bench/run.sh [--build DIR] [RECORDS]   (default: make build, build/; 1000000)
# With --build, the programs of that release build are used as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
build=
if [ "${1:-}" = --build ]; then
  build=$2
  shift 2
fi
records=${1:-1000000}
if [ -z "$build" ]; then
  make build >/dev/null
  build=build
fi
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== generating two pairs of long-layout libraries of $records records"
$bin/generate_library "$work/a.1" "$records" 1
$bin/generate_library "$work/b.1" "$records" 2
$bin/generate_library "$work/a-random.1" "$records" 1 shuffled
$bin/generate_library "$work/b-random.1" "$records" 2 shuffled
ls -l "$work"/*.1 | awk '{print "   " $5 " bytes  " $9}'

label() { if [ -n "$1" ]; then echo "in random order"; else echo "in order"; fi; }

echo "== end to end, against LC_ALL=C sort + comm of the bare names: names in order (a.1) and in"
echo "   random order (a-random.1), side by side, taking turns"
python3 bench/figures.py "$bin" "$work/a.1" "$work/b.1" "$work/a-random.1" "$work/b-random.1"

echo "== reading both files into memory, against mapping them"
python3 bench/read_cost.py "$work/a.1" "$work/b.1"

echo "== reading one library (best of 5)"
for _ in 1 2 3 4 5; do $bin/read_once "$work/a.1"; done | sort -t' ' -k4 -g | head -n 1
$bin/reader_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null |
  grep -E 'BM_|mean|median' || true

echo "== the sort in display order alone, the names of library 1"
$bin/sort_bench "$work/a.1" | sed 's/^/   library in order, /'
$bin/sort_bench "$work/a-random.1" | head -n 1 | sed 's/^/   library in random order, /'

echo "== 2504 x 2504: indexed comparison against the nested loop"
$bin/compare_bench

for pair in "" -random; do
  echo "== the dialog (offscreen), names $(label "$pair"): duplicates, memory after a reload, a million names"
  QT_QPA_PLATFORM=offscreen $bin/dialog_bench "$work/a$pair.1" "$work/b$pair.1" 2>/dev/null
done

echo "== libcompare-cli --take: a library written with a tenth of its records changed"
bench/take.sh "$bin" "$records"
$bin/generate_take_pair "$work/take1.1" "$work/take2.1" "$records"
for _ in 1 2 3; do $bin/take_bench "$work/take1.1" "$work/take2.1" "$work/take-out.1"; done | sed 's/^/   /'
