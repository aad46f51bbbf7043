#!/usr/bin/env bash
# Qt 6 for 64-bit Windows, built once from Debian's own qt6-base source of
# the installed Qt version: static, Release, Core, Gui, Widgets and Test with
# the windows, offscreen and minimal platform plugins. The result is kept in
# a cache folder outside the clone, keyed by the version and the configure
# options, so that later runs take seconds. Prints the Qt prefix.
#
#   tools/qt_mingw.sh [CACHE_FOLDER]
#
# The source comes through a private apt configuration (deb-src entries in a
# folder of its own, made from the machine's apt sources that the installed
# qt6-base-dev came from); the system's apt sources are left untouched.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/libcompare}

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)  # e.g. 6.4.2+dfsg-10
upstream=${version%%+*}
options=(
  -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  # Debian's repacked source lacks wintab.h.
  -DFEATURE_tabletevent=OFF
)
key=$( (echo "$version ${options[*]}"; cat "$here/cmake/mingw-w64.cmake") | sha256sum | cut -c1-12)
prefix=$cache/qt-mingw-$upstream-$key
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$cache/qt-work-$version
mkdir -p "$work/apt/sources" "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
# The machine's own apt sources (its mirror or proxy, suites and keyrings):
# the entries that the installed qt6-base-dev came from, as deb-src.
python3 "$here/tools/apt_source_entries.py" qt6-base-dev "$version" > "$work/apt/sources/deb-src.sources"
apt=(apt-get -q -o "Dir::Etc::SourceParts=$work/apt/sources" -o Dir::Etc::SourceList=/dev/null
     -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache")

cd "$work"
dsc=qt6-base_${version#*:}.dsc
if [ ! -f "$dsc" ]; then
  "${apt[@]}" update >&2
  "${apt[@]}" source --download-only "qt6-base=$version" >&2
fi

# Every file the .dsc lists, with the size and SHA-256 it gives.
awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0} on && NF == 3 {print $1 "  " $3}' "$dsc" \
  | sha256sum --check --quiet - >&2

if [ ! -d source ]; then
  rm -rf source.partial
  dpkg-source -x "$dsc" source.partial >&2
  mv source.partial source
fi

# Our toolchain, with the Qt prefix among the places to look in.
export LIBCOMPARE_QT_MINGW=$prefix
cmake -S source -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}" >&2
cmake --build build >&2
cmake --install build >&2
touch "$prefix/.complete"
rm -rf build source  # 4 GB; the downloaded source stays for another build
echo "$prefix"
