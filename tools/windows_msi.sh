#!/usr/bin/env bash
# Builds the Windows installer (an MSI) from resources/libcompare.wxs with
# wixl (Debian's msitools), then writes into the package what wixl 0.101
# cannot express (see the README's Windows section):
#   - the TORVEX folder as one the program's component owns, so that it goes
#     on uninstall (wixl's CreateFolder has no Directory);
#   - the Start menu entry as a plain shortcut to libcompare.exe (wixl makes
#     every shortcut an advertised one);
#   - a build with the same first three version fields replaces the
#     installed one (WiX's AllowSameVersionUpgrades; wixl has no such option);
#   - the optional PATH entry (wixl has no Environment element);
#   - the package's languages in its summary (wixl always writes 1033).
#
#   tools/windows_msi.sh VERSION BIN_DIR ICON OUT.msi
set -euo pipefail
version=$1
# wixl finds files only by paths relative to the current folder.
bin_dir=$(realpath --relative-to=. "$2")
icon=$(realpath --relative-to=. "$3")
out=$4
wxs=$(dirname "$0")/../resources/libcompare.wxs

# Windows Installer compares major.minor.build; the fourth field is kept in
# ProductVersion (and shown in Apps & Features) but not compared.
if ! [[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)(\.([0-9]+))?$ ]] ||
   ((BASH_REMATCH[1] > 255 || BASH_REMATCH[2] > 255 || BASH_REMATCH[3] > 65535 ||
     ${BASH_REMATCH[5]:-0} > 65535)); then
  echo "windows_msi.sh: $version is no Windows Installer version (255.255.65535.65535 at most)" >&2
  exit 1
fi

tmp=$out.tmp
rm -f "$tmp"
# wixl says "builder.vala:699: unimplemented" for the shortcut's Advertise="no",
# which is written below; everything else it reports is an error.
wixl --arch x64 -D Version="$version" -D BinDir="$bin_dir" -D Icon="$icon" -o "$tmp" "$wxs" \
  2> >(grep -v 'builder.vala:699: unimplemented' >&2)

msibuild "$tmp" -q "UPDATE \`Shortcut\` SET \`Target\` = '[#libcompare.exe]' WHERE \`Shortcut\` = 'StartMenuEntry'"
# The TORVEX folder as the dialog's too (wixl's CreateFolder takes no Directory).
msibuild "$tmp" -q "INSERT INTO \`CreateFolder\` (\`Directory_\`, \`Component_\`) VALUES ('TorvexFolder', 'Dialog')"
# The row that finds older versions to remove: 1 (migrate the features'
# states, so that the PATH entry stays as chosen) becomes 513, which also
# includes the maximum, this very version. Attributes is part of the table's
# key, so the table goes out and back in (an .idt file: tabs, CRLF).
idt=$(mktemp -d)
trap 'rm -rf "$idt"' EXIT
msiinfo export "$tmp" Upgrade >"$idt/Upgrade.idt"
sed -i 's/\t1\t\tWIX_UPGRADE_DETECTED\r$/\t513\t\tWIX_UPGRADE_DETECTED\r/' "$idt/Upgrade.idt"
grep -q $'\t513\t\tWIX_UPGRADE_DETECTED\r$' "$idt/Upgrade.idt" ||
  { echo "windows_msi.sh: wixl wrote another Upgrade table than expected" >&2; exit 1; }
msibuild "$tmp" -i "$idt/Upgrade.idt"
# PATH of all users gets the program folder appended on install and loses it
# on uninstall ("=-*": set, remove on uninstall, system variable; "[~];": append).
msibuild "$tmp" \
  -q "CREATE TABLE \`Environment\` (\`Environment\` CHAR(72) NOT NULL, \`Name\` CHAR(255) NOT NULL LOCALIZABLE, \`Value\` CHAR(255) LOCALIZABLE, \`Component_\` CHAR(72) NOT NULL PRIMARY KEY \`Environment\`)" \
  -q "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`) VALUES ('PathEntry', '=-*PATH', '[~];[INSTALLDIR]', 'PathEntry')" \
  -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('RemoveEnvironmentStrings', 3300)" \
  -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('WriteEnvironmentStrings', 5200)"
msibuild "$tmp" -s "TORVEX Bibliotheksvergleich $version" TORVEX "x64;1031"
mv "$tmp" "$out"
echo "wrote $out"
