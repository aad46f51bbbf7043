#!/usr/bin/env bash
# Photographs libcompare.exe under Wine: a real window on Xvfb through Qt's
# windows platform plugin, comparing the two example libraries given on the
# command line. Writes WINDOWS_DIR/screenshot.png.
#   tools/windows_screenshot.sh WINDOWS_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
wine=${WINE:-/usr/lib/wine/wine64}
out=$dir/screenshot.png
xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  set -euo pipefail
  "'"$wine"'" "'"$dir"'/bin/libcompare.exe" "examples\schaltplan-alt.1" "examples\schaltplan-neu.1" \
    >/dev/null 2>&1 &
  pid=$!
  # Until the dialog shows (Wine starts slowly the first time), then a moment more.
  for _ in $(seq 1 120); do
    xwininfo -root -tree 2>/dev/null | grep -q TORVEX_Bibliotheks_Vergleich && break
    sleep 0.5
  done
  # Once it is drawn: a picture of one colour is a window not painted yet.
  for _ in $(seq 1 10); do
    sleep 3
    import -window root "'"$out"'"
    [ "$(convert "'"$out"'" -format "%[fx:standard_deviation>0]" info:)" = 1 ] && break
  done
  kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
  "'"$wine"'"server -k 2>/dev/null || true'
echo "wrote $out"
