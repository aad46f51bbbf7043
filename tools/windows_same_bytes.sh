#!/usr/bin/env bash
# libcompare-cli.exe under Wine against the Linux build: the same report bytes
# for every format, paths with umlauts from the command line, and messages
# that name the file as typed.
#   tools/windows_same_bytes.sh LINUX_BIN_DIR WINDOWS_BIN_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
linux=$1/libcompare-cli
windows=$2/libcompare-cli.exe
wine=${WINE:-/usr/lib/wine/wine64}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# The same relative paths for both, so that the JSON names the same files.
for format in text csv csv-excel json html; do
  set +e
  "$linux" --format "$format" examples/schaltplan-alt.1 examples/schaltplan-neu.1 >"$work/linux.$format"
  linux_status=$?
  "$wine" "$windows" --format "$format" examples/schaltplan-alt.1 examples/schaltplan-neu.1 \
    >"$work/windows.$format" 2>/dev/null
  windows_status=$?
  set -e
  if cmp -s "$work/linux.$format" "$work/windows.$format" && [ "$linux_status" = "$windows_status" ]; then
    echo "same bytes and status ($linux_status): $format"
  else
    echo "DIFFERENT: $format (status $linux_status / $windows_status)"; failed=1
  fi
done

folder="$work/Schaltpläne"
mkdir -p "$folder"
cp examples/schaltplan-alt.1 examples/schaltplan-neu.1 "$folder/"
set +e
"$wine" "$windows" "$folder/schaltplan-alt.1" "$folder/schaltplan-neu.1" >"$work/umlaut.txt" 2>/dev/null
status=$?
"$wine" "$windows" "$folder/fehlt.1" "$folder/schaltplan-neu.1" >/dev/null 2>"$work/missing.txt"
missing_status=$?
set -e
if [ "$status" = 1 ] && grep -q "Gemeinsame Symbole (6)" "$work/umlaut.txt"; then
  echo "a folder with an umlaut: read"
else
  echo "DIFFERENT: a folder with an umlaut (status $status)"; failed=1
fi
if [ "$missing_status" = 2 ] && grep -q "„$folder/fehlt.1“" "$work/missing.txt"; then
  echo "a missing file: named as typed"
else
  echo "DIFFERENT: the message for a missing file: $(cat "$work/missing.txt")"; failed=1
fi
# The dialog's .exe carries the version resource (UTF-16 strings).
dialog=$2/libcompare.exe
[ -f "$dialog" ] && strings -el "$dialog" >"$work/resource.txt"
if grep -qx "TORVEX Bibliotheksvergleich" "$work/resource.txt" &&
   grep -qx "1.0.0.1" "$work/resource.txt"; then
  echo "libcompare.exe: version resource 1.0.0.1, TORVEX Bibliotheksvergleich"
else
  echo "DIFFERENT: libcompare.exe has no version resource"; failed=1
fi
exit $failed
