#!/usr/bin/env python3
"""Prints deb-src entries (deb822) for the apt sources a package came from.

    tools/apt_source_entries.py PACKAGE VERSION

Reads the machine's own apt configuration: the one-line `sources.list` files and
the deb822 `.sources` files where `apt-config` says they are. Keeps the entries
whose archive address `apt-cache policy PACKAGE` names for VERSION, so that a
company mirror or proxy, its suites and its keyring are used as configured, and
no archive address needs to be written anywhere else.
"""
import glob
import os
import re
import subprocess
import sys


def apt_config(name, kind):
    out = subprocess.run(["apt-config", "shell", "V", f"{name}/{kind}"],
                         capture_output=True, text=True, check=True).stdout
    match = re.match(r"V='(.*)'", out.strip())
    return match.group(1) if match else ""


def origins(package, version):
    """Archive addresses that offer PACKAGE at VERSION, without a trailing slash."""
    out = subprocess.run(["apt-cache", "policy", package],
                         capture_output=True, text=True, check=True).stdout
    found, in_version = set(), False
    for line in out.splitlines():
        head = re.match(r"^ (?:\*\*\*| {3}) (\S+) \d+$", line)
        if head:
            in_version = head.group(1) == version
            continue
        entry = re.match(r"^ +\d+ (\S+://\S+) ", line)
        if in_version and entry:
            found.add(entry.group(1).rstrip("/"))
    return found


def one_line_entries(path):
    """Entries of a sources.list file: (uri, suite, components, options)."""
    for raw in open(path, encoding="utf-8", errors="replace"):
        line = raw.split("#", 1)[0].strip()
        match = re.match(r"^deb(?:-src)?\s+(?:\[([^\]]*)\]\s+)?(\S+)\s+(\S+)\s*(.*)$", line)
        if not match:
            continue
        options = dict(o.split("=", 1) for o in (match.group(1) or "").split() if "=" in o)
        yield {"URIs": [match.group(2)], "Suites": [match.group(3)],
               "Components": match.group(4).split(),
               "Signed-By": options.get("signed-by", "")}


def deb822_entries(path):
    text = open(path, encoding="utf-8", errors="replace").read()
    for stanza in re.split(r"\n\s*\n", text):
        fields, key = {}, None
        for raw in stanza.splitlines():
            if raw.startswith("#"):
                continue
            if raw[:1] in (" ", "\t") and key:
                fields[key] += "\n" + raw.strip()
                continue
            if ":" in raw:
                key, value = raw.split(":", 1)
                fields[key.strip()] = value.strip()
        if not fields.get("URIs") or fields.get("Enabled", "yes").lower() == "no":
            continue
        yield {"URIs": fields["URIs"].split(), "Suites": fields.get("Suites", "").split(),
               "Components": fields.get("Components", "").split(),
               "Signed-By": fields.get("Signed-By", "")}


def main():
    package, version = sys.argv[1], sys.argv[2]
    wanted = origins(package, version)
    listfile = apt_config("Dir::Etc::sourcelist", "f")
    parts = apt_config("Dir::Etc::sourceparts", "d")
    entries = []
    if listfile and os.path.isfile(listfile):
        entries += one_line_entries(listfile)
    for path in sorted(glob.glob(os.path.join(parts, "*.list"))):
        entries += one_line_entries(path)
    for path in sorted(glob.glob(os.path.join(parts, "*.sources"))):
        entries += deb822_entries(path)
    kept = [e for e in entries if any(u.rstrip("/") in wanted for u in e["URIs"])]
    if not kept:
        sys.exit(f"No apt source offers {package} {version}; see 'apt-cache policy {package}'.")
    for e in kept:
        print("Types: deb-src")
        print("URIs: " + " ".join(e["URIs"]))
        print("Suites: " + " ".join(e["Suites"]))
        if e["Components"]:
            print("Components: " + " ".join(e["Components"]))
        if e["Signed-By"]:
            signed = e["Signed-By"].replace("\n", "\n ")
            print("Signed-By: " + signed)
        print()


if __name__ == "__main__":
    main()
