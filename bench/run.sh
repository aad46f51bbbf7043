#!/usr/bin/env bash
# Runs every benchmark and prints the figures. Release build in build/.
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

echo "== reading one library (best of 5)"
for _ in 1 2 3 4 5; do $bin/read_once "$work/a.1"; done | sort -t' ' -k4 -g | head -n 1
$bin/reader_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null |
  grep -E 'BM_|mean|median' || true

echo "== 2504 x 2504: indexed comparison against the nested loop"
$bin/compare_bench

echo "== libcompare-cli --format json a.1 b.1 > /dev/null, against LC_ALL=C sort + comm"
python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
for side in "ab":
    data = open(f"{work}/{side}.1", "rb").read()
    n = (len(data) - 15) // 144 if len(data) > 14 else 0
    with open(f"{work}/{side}.names", "wb") as out:
        for i in range(1, n + 1):
            p = 14 + i * 144
            out.write(data[p:data.index(b"\0", p)] + b"\n")
PY
best() { sort -g | head -n 1; }
cli=$(for _ in 1 2 3 4 5; do
  /usr/bin/time -f "%e %M" $bin/libcompare-cli --format json "$work/a.1" "$work/b.1" 2>&1 >/dev/null | tail -n 1 || true
done | best)
sortcomm=$(for _ in 1 2 3 4 5; do
  /usr/bin/time -f "%e" bash -c "LC_ALL=C sort '$work/a.names' > '$work/a.s'; LC_ALL=C sort '$work/b.names' > '$work/b.s'; LC_ALL=C comm '$work/a.s' '$work/b.s' > /dev/null" 2>&1 | tail -n 1
done | best)
size=$(( $(stat -c %s "$work/a.1") + $(stat -c %s "$work/b.1") ))
read -r cli_s cli_kb <<<"$cli"
echo "   libcompare-cli: ${cli_s} s, peak memory $((cli_kb / 1024)) MiB ($(python3 -c "print(round($cli_kb*1024/$size, 2))") x the two files)"
echo "   sort + comm:    ${sortcomm} s"

echo "== the dialog (offscreen)"
QT_QPA_PLATFORM=offscreen $bin/dialog_bench "$work/a.1" "$work/b.1" 2>/dev/null
