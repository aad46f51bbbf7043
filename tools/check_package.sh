#!/usr/bin/env bash
# Checks the Debian package in BUILD_DIR as a desktop would take it: lintian,
# the metadata and the menu entry, both programs run from an unpacked copy,
# the file type with the copy's share folder, and the manual pages.
#   tools/check_package.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(ls -t "$1"/libcompare_*.deb | head -n 1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failed=0
check() {  # check "what" command...
  local what=$1; shift
  if "$@" >"$root/log" 2>&1; then echo "ok: $what"; else echo "FAILED: $what"; cat "$root/log"; failed=1; fi
}

# Warnings left standing are explained in the README.
check "lintian: no errors" bash -c "lintian --fail-on error '$deb'"
dpkg-deb -x "$deb" "$root/pkg"
share=$root/pkg/usr/share
check "appstreamcli validate" appstreamcli validate --no-net "$share/metainfo/de.torvex.libcompare.metainfo.xml"
check "desktop-file-validate" desktop-file-validate "$share/applications/libcompare.desktop"

check "the CLI compares the examples" bash -c \
  "'$root/pkg/usr/bin/libcompare-cli' examples/schaltplan-alt.1 examples/schaltplan-neu.1 | grep -q 'Gemeinsame Symbole (6)'"
check "the dialog starts (offscreen, --version)" bash -c \
  "QT_QPA_PLATFORM=offscreen '$root/pkg/usr/bin/libcompare' --version | grep -q '1.0.0.1'"

# The file type, with the copy's share folder as the user's own.
mkdir -p "$root/home"
cp -r "$share/mime" "$root/home/"
update-mime-database "$root/home/mime" >/dev/null 2>&1
zcat /usr/share/man/man1/ls.1.gz > "$root/ls.1"
check "a long-layout library is a TORVEX symbol library" bash -c \
  "[ \"\$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_HOME='$root/home' xdg-mime query filetype examples/schaltplan-alt.1)\" = application/x-torvex-symbol-library ]"
check "a manual page stays a manual page" bash -c \
  "[ \"\$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_HOME='$root/home' xdg-mime query filetype '$root/ls.1')\" != application/x-torvex-symbol-library ]"

# Plain text named *.1 is a manual page, whatever its first line: with both
# types' globs alike, the desktop decides by the content.
printf 'Einkaufsliste\nBrot\nMilch\n' > "$root/liste.1"
check "a plain-text *.1 file is taken for a manual page (xdg-mime)" bash -c \
  "[ \"\$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_HOME='$root/home' xdg-mime query filetype '$root/liste.1')\" = application/x-troff-man ]"
check "a plain-text *.1 file is taken for a manual page (gio)" bash -c \
  "XDG_DATA_HOME='$root/home' gio info -a standard::content-type '$root/liste.1' | grep -q 'content-type: application/x-troff-man'"

check "completion offers the formats" bash -c \
  "source '$share/bash-completion/completions/libcompare-cli'; COMP_WORDS=(libcompare-cli --format ''); COMP_CWORD=2; _libcompare_cli; [ \"\${COMPREPLY[*]}\" = 'text csv csv-excel json html' ]"
check "completion keeps names with blanks whole, offers only files after --" \
  bash tests/cli/completion_test.sh "$share/bash-completion/completions/libcompare-cli"

for page in libcompare libcompare-cli; do
  check "man $page renders without warnings" bash -c \
    "out=\$(MANWIDTH=80 man --warnings -l '$share/man/man1/$page.1.gz' 2>&1 >/dev/null); [ -z \"\$out\" ] || { echo \"\$out\"; false; }"
done
exit $failed
