#!/usr/bin/env bash
# The Windows installer (WINDOWS_DIR/libcompare-<version>-x64.msi) under Wine,
# in prefixes of its own (WINDOWS_DIR/installer-test, kept for a look after a
# failure): its tables, a silent install, the same package again, newer
# versions over it, an older one refused, the uninstall, the PATH entry.
# One "pass:" or "FAIL:" line per check; exits 1 when one fails.
#   tools/windows_installer_test.sh WINDOWS_DIR [LINUX_BUILD_DIR]
# shellcheck disable=SC2317  # the checks' functions run through check()
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
linux_dir=${2:-build}
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt" 2>/dev/null || true)
msi=$dir/libcompare-$version-x64.msi
if [ -z "$version" ] || [ ! -s "$msi" ]; then
  echo "FAIL: no installer \"$msi\" (make windows-installer)"
  exit 1
fi
upgrade_code='{6A34D7D8-1187-44E0-A9C4-48EE74DAF4AF}'
progid=TORVEX-Symbolbibliothek
program_dir_windows='C:\Program Files\TORVEX\Bibliotheksvergleich'\\
classes='HKLM\Software\Classes'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
environment_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
# No Gecko or Mono to install, and no Linux menu entries made from the shortcut.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

work=$(realpath "$dir")/installer-test
for old in "$work"/*/; do  # a server left from an earlier run
  if [ -d "$old" ]; then WINEPREFIX=${old%/} "$wineserver" -k 2>/dev/null || true; fi
done
rm -rf "$work"
mkdir -p "$work"

failed=0
pass() { echo "pass: $*"; }
fail() { echo "FAIL: $*"; failed=1; }
note() { echo "note: $*"; }
check() {  # check DESCRIPTION COMMAND...: passes when the command succeeds
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# --- Wine in one prefix at a time ---------------------------------------------
prefix=
use_prefix() {  # use_prefix NAME: a fresh prefix, made ready
  prefix=$work/$1
  WINEPREFIX=$prefix "$wine" wineboot -i >/dev/null 2>&1
  WINEPREFIX=$prefix "$wineserver" -w
}
w() { WINEPREFIX=$prefix "$wine" "$@"; }
msiexec() {  # msiexec ARGS...: its exit status (Wine hands on the low 8 bits: 1603 is 67)
  local status=0
  w msiexec "$@" >/dev/null 2>&1 || status=$?
  WINEPREFIX=$prefix "$wineserver" -w
  return $status
}
# A read of the registry through Wine's reg.exe now and then fails with
# nothing found where the value is there (seen once in CI, right after another
# read of the same kind had passed). So a read that finds nothing is tried
# twice more, after the server has settled; the last try's words are kept for
# the failure's line.
reg_value() {  # reg_value KEY [NAME]: the value's data (the key's default without NAME)
  local out errors=$work/reg-errors.txt words=$work/reg-words.txt
  local which=(/ve)
  if [ $# -gt 1 ]; then which=(/v "$2"); fi
  for _ in 1 2 3; do
    if out=$(w reg query "$1" "${which[@]}" 2>"$errors") &&
      printf '%s\n' "$out" | tr -d '\r' |
      awk -F '    ' '$3 ~ /^REG_/ { print $4; found = 1 } END { exit !found }'; then
      return 0
    fi
    { cat "$errors"; printf '%s' "$out"; } | tr -d '\r' | tr '\n' ' ' >"$words"
    WINEPREFIX=$prefix "$wineserver" -w
  done
  return 1
}
reg_is() {  # reg_is EXPECTED KEY [NAME]
  local expected=$1 actual
  shift
  actual=$(reg_value "$@") || { echo "  $*: not read ($(cat "$work/reg-words.txt"))"; return 1; }
  [ "$actual" = "$expected" ] || { echo "  $*: \"$actual\", expected \"$expected\""; return 1; }
}
has_reg_value() { reg_value "$@" >/dev/null; }
no_reg_value() { ! reg_value "$@" >/dev/null; }
no_reg_key() { ! w reg query "$1" >/dev/null 2>&1; }
program_dir() { echo "$prefix/drive_c/Program Files/TORVEX/Bibliotheksvergleich"; }
shortcuts() {  # every Start menu entry of the program, common or the user's
  find "$prefix/drive_c/ProgramData" "$prefix/drive_c/users" \
    -name 'TORVEX Bibliotheksvergleich.lnk' 2>/dev/null
}
our_entries() {  # the uninstall list's entries of the product: the version of each
  w reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | awk -F '    ' '
    /^HKEY/ { if (name == "TORVEX Bibliotheksvergleich") print version; name = ""; version = "" }
    $2 == "DisplayName" { name = $4 }
    $2 == "DisplayVersion" { version = $4 }
    END { if (name == "TORVEX Bibliotheksvergleich") print version }'
}
path_value() { reg_value "$environment_key" PATH; }
# What an install may touch, as text: the folders it writes to, with each
# file's checksum (a shortcut's bytes hold a time: its name only), the files
# of Windows Installer's cache, and every registry value under the keys it
# writes to, one line each, with its key. Not compared: the package's source
# list, to which Wine adds the same folder again when the package is run
# again, and empty keys (Windows Installer's own, which stay).
snapshot() {
  (
    cd "$prefix/drive_c"
    {
      find "Program Files" ProgramData/Microsoft/Windows \
        users/*/AppData/Roaming/Microsoft/Windows/"Start Menu" -print0 2>/dev/null || true
      find windows/Installer -type f -print0 2>/dev/null || true
    } | sort -z | while IFS= read -r -d '' f; do
      if [ -f "$f" ] && [[ $f != *.lnk ]]; then echo "$f $(sha256sum <"$f" | cut -c1-16)"; else echo "$f"; fi
    done
  )
  for key in "$classes" "$uninstall_key" 'HKLM\Software\Microsoft\Windows\CurrentVersion\Installer' \
             "$environment_key"; do
    { w reg query "$key" /s 2>/dev/null || true; } | tr -d '\r' |
      awk -F '    ' '/^HKEY/ { key = $0 } $3 ~ /^REG_/ && key !~ /\\SourceList/ { print key "\t" $2 "\t" $3 "\t" $4 }'
  done
}
same_snapshot() {  # same_snapshot FILE_A FILE_B
  diff "$1" "$2" >"$work/snapshot.diff" || { sed 's/^/  /' "$work/snapshot.diff" | head -20; return 1; }
}
window_shows() {  # window_shows WINDOWS_ARGS...: the dialog's window appears on Xvfb
  local shot=$work/window-$((++windows)).png
  # shellcheck disable=SC2016  # the inner bash expands them
  xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
    set -euo pipefail
    WINEPREFIX="$0" "$1" "${@:4}" >/dev/null 2>&1 &
    pid=$!
    shown=1
    for _ in $(seq 1 120); do
      if xwininfo -root -tree 2>/dev/null | grep TORVEX_Bibliotheks_Vergleich >/dev/null; then shown=0; break; fi
      sleep 0.5
    done
    [ $shown = 0 ] && sleep 2 && import -window root "$3"
    kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
    WINEPREFIX="$0" "$2" -k 2>/dev/null || true
    exit $shown' "$prefix" "$wine" "$wineserver" "$shot" "$@"
}
windows=0

# A package of another version from the same programs, for the upgrade checks.
other_version() {  # other_version VERSION: builds it, prints its path
  local out=$work/libcompare-$1-x64.msi
  bash tools/windows_msi.sh "$1" "$dir/bin" "$dir/app/libcompare.ico" "$out" >/dev/null
  echo "$out"
}
IFS=. read -r major minor patch tweak <<<"$version"
tweak_bumped=$major.$minor.$patch.$((${tweak:-0} + 1))
patch_bumped=$major.$minor.$((patch + 1)).${tweak:-0}

# --- what the checks ask ---------------------------------------------------------
property() { msiinfo export "$msi" Property | tr -d '\r' | awk -F '\t' -v p="$1" '$1 == p { print $2 }'; }
# (grep -q ends a pipe early: its writer would fail under pipefail, hence <<<.)
per_machine_x64() { [ "$(property ALLUSERS)" = 1 ] && grep -q '^Template: x64;' <<<"$(msiinfo suminfo "$msi")"; }
path_feature_off() {  # its level is above the default INSTALLLEVEL of 1
  msiinfo export "$msi" Feature | tr -d '\r' |
    awk -F '\t' '$1 == "PathEntry" { level = $6 } END { exit !(level > 1) }'
}
exe_version_is_ours() { grep -qx "$version" <<<"$(strings -el "$dir/bin/libcompare.exe")"; }
one_shortcut() { [ "$(shortcuts | grep -c .)" = 1 ]; }
shortcut_starts_program() {  # its target and its icon (UTF-16 strings in the .lnk)
  local text
  text=$(strings "$(shortcuts)"; strings -el "$(shortcuts)")
  grep -qxF "${program_dir_windows}libcompare.exe" <<<"$text" && grep -q '\\libcompare\.ico$' <<<"$text"
}
product_icon_there() {  # Apps & Features shows the icon Windows Installer keeps
  local icon
  icon=$(w reg query 'HKLM\Software\Classes\Installer\Products' /s /v ProductIcon | tr -d '\r' |
         awk -F '    ' '$3 ~ /^REG_/ { print $4 }')
  [ -n "$icon" ] && [ -s "$(w winepath -u "$icon" 2>/dev/null)" ]
}
path_without_program() { [[ $(path_value) != *Bibliotheksvergleich* ]]; }
path_ends_with_program() { [[ $(path_value) == *";$program_dir_windows" ]]; }
path_has_program_once() { [ "$(path_value | grep -o Bibliotheksvergleich | wc -l)" = 1 ]; }
path_as_before() { [ "$(path_value | sed 's/;*$//')" = "$path_before" ]; }
cli_compares_examples() {  # status 1: the examples differ
  local status=0
  (cd examples && w "$(program_dir)/libcompare-cli.exe" schaltplan-alt.1 schaltplan-neu.1) \
    >"$work/cli.txt" 2>&1 || status=$?
  [ "$status" = 1 ] && grep -q "Gemeinsame Symbole (6)" "$work/cli.txt"
}
cli_found_through_path() {
  grep -qx "libcompare-cli $version" <<<"$(cd /tmp && w cmd /c libcompare-cli --version | tr -d '\r')"
}
programs_there() { [ -f "$(program_dir)/libcompare.exe" ] && [ -f "$(program_dir)/libcompare-cli.exe" ]; }
nothing_left() { [ ! -e "$prefix/drive_c/Program Files/TORVEX" ] && [ -z "$(shortcuts)" ]; }

echo "== the package's tables (msiinfo)"
check "ProductName: TORVEX Bibliotheksvergleich" test "$(property ProductName)" = "TORVEX Bibliotheksvergleich"
check "Manufacturer: TORVEX" test "$(property Manufacturer)" = TORVEX
check "ProductVersion: $version (the CMake project's)" test "$(property ProductVersion)" = "$version"
check "UpgradeCode: $upgrade_code" test "$(property UpgradeCode)" = "$upgrade_code"
check "per machine (ALLUSERS=1), 64-bit (x64 template)" per_machine_x64
check "Apps & Features icon: ARPPRODUCTICON" test "$(property ARPPRODUCTICON)" = libcompare.ico
check "the PATH feature is off by default (its level above INSTALLLEVEL 1)" path_feature_off
check "libcompare.exe's version resource: $version" exe_version_is_ours
check "the Debian package's version ($linux_dir/CPackConfig.cmake): $version" \
  grep -q "^set(CPACK_PACKAGE_VERSION \"$version\")" "$linux_dir/CPackConfig.cmake"

echo "== a silent install into a fresh prefix"
use_prefix machine
# Another program owns .1 files: the install must leave it their default.
w reg add "$classes\\.1" /ve /d Anderes.Programm /f >/dev/null 2>&1
snapshot >"$work/before-install.txt"
check "msiexec /i /qn succeeds" msiexec /i "$msi" /qn
for exe in libcompare.exe libcompare-cli.exe; do
  check "$program_dir_windows$exe is the built one" cmp -s "$(program_dir)/$exe" "$dir/bin/$exe"
done
check "ProgID $progid" reg_is "$progid" "$classes\\$progid"
check "its command: \"…\\libcompare.exe\" \"%1\"" \
  reg_is "\"${program_dir_windows}libcompare.exe\" \"%1\"" "$classes\\$progid\\shell\\open\\command"
check "its icon: the program's" reg_is "${program_dir_windows}libcompare.exe,0" "$classes\\$progid\\DefaultIcon"
check ".1 offers it under \"Öffnen mit\" (OpenWithProgids)" has_reg_value "$classes\\.1\\OpenWithProgids" "$progid"
check ".1 stays the other program's" reg_is Anderes.Programm "$classes\\.1"
check "Start menu entry \"TORVEX Bibliotheksvergleich\"" one_shortcut
lnk=$(shortcuts)
[ -n "$lnk" ] && note "Wine puts it in ${lnk#"$prefix/drive_c/"} (Windows: the common Start menu under ProgramData)"
check "the entry starts libcompare.exe, with the program's icon" shortcut_starts_program
check "one entry in the uninstall list" test "$(our_entries)" = "$version"
product_code=$(property ProductCode)
entry="$uninstall_key\\$product_code"
check "its publisher: TORVEX" reg_is TORVEX "$entry" Publisher
check "its version: $version" reg_is "$version" "$entry" DisplayVersion
check "its uninstall: MsiExec.exe /X$product_code" reg_is "MsiExec.exe /X$product_code" "$entry" UninstallString
check "its icon (ProductIcon) is there" product_icon_there
check "PATH left alone (the PATH feature is off)" path_without_program
check "the installed libcompare-cli.exe compares the examples (status 1)" cli_compares_examples
check "the installed libcompare.exe, started with the examples, shows its window" \
  window_shows "${program_dir_windows}libcompare.exe" 'examples\schaltplan-alt.1' 'examples\schaltplan-neu.1'
check "started with one library, as the file type's command does, it shows its window" \
  window_shows "${program_dir_windows}libcompare.exe" 'examples\schaltplan-alt.1'
snapshot >"$work/after-install.txt"

echo "== the same package again"
check "msiexec /i /qn of the same package succeeds" msiexec /i "$msi" /qn
snapshot >"$work/after-reinstall.txt"
check "it changed nothing (files, registry values)" same_snapshot "$work/after-install.txt" "$work/after-reinstall.txt"
rebuilt=$work/rebuilt/libcompare-$version-x64.msi
mkdir -p "$(dirname "$rebuilt")"
bash tools/windows_msi.sh "$version" "$dir/bin" "$dir/app/libcompare.ico" "$rebuilt" >/dev/null
check "a rebuild of $version (another product code) installs" msiexec /i "$rebuilt" /qn
check "  in the place of the first: one entry in the uninstall list" test "$(our_entries)" = "$version"

echo "== newer versions replace it, an older one is refused"
newer=$(other_version "$tweak_bumped")
check "$tweak_bumped (only the fourth field, which Windows Installer does not compare) installs" \
  msiexec /i "$newer" /qn
check "  one entry in the uninstall list, version $tweak_bumped" test "$(our_entries)" = "$tweak_bumped"
newest=$(other_version "$patch_bumped")
check "$patch_bumped installs" msiexec /i "$newest" /qn
check "  one entry in the uninstall list, version $patch_bumped" test "$(our_entries)" = "$patch_bumped"
check "  the programs are there" programs_there
check "  the Start menu entry is there" one_shortcut
check "  the ProgID's command is there" has_reg_value "$classes\\$progid\\shell\\open\\command"
check "  OpenWithProgids is there" has_reg_value "$classes\\.1\\OpenWithProgids" "$progid"
status=0
msiexec /i "$msi" /qn || status=$?
check "$version over $patch_bumped is refused (status $status; 67 is 1603 as Wine passes it on)" test "$status" != 0
check "  $patch_bumped stays installed" test "$(our_entries)" = "$patch_bumped"

echo "== the uninstall"
check "msiexec /x /qn succeeds" msiexec /x "$newest" /qn
check "no file, folder or Start menu entry left" nothing_left
check "no ProgID left" no_reg_key "$classes\\$progid"
check "no OpenWithProgids value left" no_reg_value "$classes\\.1\\OpenWithProgids" "$progid"
check "nor its key, which held only that value" no_reg_key "$classes\\.1\\OpenWithProgids"
check ".1 is still the other program's" reg_is Anderes.Programm "$classes\\.1"
check "no entry in the uninstall list" test -z "$(our_entries)"
snapshot >"$work/after-uninstall.txt"
check "files and registry values as before the install" \
  same_snapshot "$work/before-install.txt" "$work/after-uninstall.txt"
WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true

echo "== the PATH entry (ADDLOCAL=PathEntry, or ALL)"
use_prefix path
path_before=$(path_value)
check "msiexec /i /qn ADDLOCAL=ALL succeeds" msiexec /i "$msi" /qn ADDLOCAL=ALL
check "PATH ends with the program folder" path_ends_with_program
check "libcompare-cli is found through PATH" cli_found_through_path
check "$patch_bumped with ADDLOCAL=PathEntry over it succeeds" msiexec /i "$newest" /qn ADDLOCAL=PathEntry
check "  PATH holds the program folder once" path_has_program_once
note "not checked under Wine: that an upgrade keeps the PATH entry by itself (the package asks Windows" \
     "Installer to migrate the features' states; Wine 8 does not carry out MigrateFeatureStates)"
check "msiexec /x /qn succeeds" msiexec /x "$newest" /qn
check "the program folder is gone from PATH" path_without_program
# Wine leaves the separator before the removed part behind.
check "PATH as before (but for the \";\" Wine leaves behind)" path_as_before
WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true

if [ $failed = 0 ]; then echo "installer: every check passed"; else echo "installer: FAILED"; fi
exit $failed
