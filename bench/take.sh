#!/usr/bin/env bash
# Times libcompare-cli --take: library 2 of RECORDS symbols written with a
# tenth of its designations changed and a thousandth of its records removed
# and added (bench/generate_take_pair.cpp), to a new file and over library 2
# itself (with the backup). Best of 5, wall-clock seconds and peak memory.
#   bench/take.sh BIN_DIR [RECORDS]   (default 1000000)
set -euo pipefail
bin=$1
records=${2:-1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/generate_take_pair" "$work/a.1" "$work/b.1" "$records"
best() {  # best of 5 runs of "$@": seconds and peak kilobytes
  for _ in 1 2 3 4 5; do
    cp "$work/b.1" "$work/b-copy.1"
    /usr/bin/time -f '%e s, %M kB' "$@" 2>&1 >/dev/null | tail -n 1
  done | sort -g | head -n 1
}
echo "== --take=changed,added,removed, $records records: to a new file"
best "$bin/libcompare-cli" --take=changed,added,removed --output="$work/out.1" "$work/a.1" "$work/b.1"
echo "== the same over library 2 itself, keeping library 2 as .bak"
best "$bin/libcompare-cli" --take=changed,added,removed --output="$work/b-copy.1" "$work/a.1" "$work/b-copy.1"
"$bin/libcompare-cli" "$work/a.1" "$work/b-copy.1" >/dev/null && echo "   afterwards no difference left"
