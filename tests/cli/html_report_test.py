#!/usr/bin/env python3
"""libcompare-cli --format html, read back with a strict HTML parser.

    html_report_test.py LIBCOMPARE_CLI

Each case writes two libraries, runs the tool and parses its page with
html5lib (strict: any parse error fails), then checks the rows of its tables
against what the case expects: the changed fields with the marked part of each
value, the symbols only in one library, the number of unchanged ones; and that
the page is one self-contained file: no script, nothing fetched, a print
layout for A4.
"""
import os
import subprocess
import sys
import tempfile

import html5lib

cli = sys.argv[1]


def long_library(records):
    data = bytearray(b"\xff\xff" + bytes(12) + bytes(144))
    for fields in records:
        fields = list(fields) + [b""] * (4 - len(fields))
        slot = b"\0".join(fields) + b"\0"
        data += slot[:144].ljust(144, b"\0")
    return bytes(data)


def short_library(records):
    data = bytearray(bytes(14) + bytes(64))
    for name, designation in records:
        data += name[:18].ljust(18, b"\0") + designation[:46].ljust(46, b"\0")
    return bytes(data)


def text(element):
    """An element's text as shown; a <mark> as [..]."""
    out = element.text or ""
    for child in element:
        inner = text(child)
        out += f"[{inner}]" if child.tag == "mark" else inner
        out += child.tail or ""
    return out


def sections(document):
    """{heading without its count: (count, table or None)} in page order."""
    body = document.find("body")
    found = {}
    current = None
    for element in body:
        if element.tag == "h2":
            heading, count = element.text.rsplit(" (", 1)
            current = heading
            found[current] = [count.rstrip(")"), None]
        elif element.tag == "table" and current:
            found[current][1] = element
    return found


def changed_rows(table):
    """(symbol, field, library 1, library 2) per changed field; the symbol
    spans its rows."""
    rows = []
    for body in table.findall("tbody"):
        symbol = None
        for tr in body.findall("tr"):
            cells = [text(td) for td in tr.findall("td")]
            if len(cells) == 4:
                symbol = cells[0]
                cells = cells[1:]
            rows.append((symbol, *cells))
    return rows


def plain_rows(table):
    return [tuple(text(td) for td in tr.findall("td"))
            for body in table.findall("tbody") for tr in body.findall("tr")]


def self_contained(page):
    lowered = page.lower()
    return all(word not in lowered for word in ("<script", " src=", " href=", "url(", "@import"))


CASES = [
    {
        "what": "a changed designation, the differing part marked",
        "one": [[b"Relais", b"Relais 24 V", b"K", b"G"], [b"Motor", b"M"]],
        "two": [[b"Relais", b"Relais 230 V", b"K", b"G"], [b"Motor", b"M"]],
        "changed": [("Relais", "Bezeichnung", "Relais 2[4] V", "Relais 2[30] V")],
        "only1": [], "only2": [], "unchanged": "1",
    },
    {
        "what": "several fields of one symbol: one group of rows",
        "one": [[b"K", b"a", b"x1", b"y"]],
        "two": [[b"K", b"b", b"x2", b"z"]],
        "changed": [("K", "Bezeichnung", "[a]", "[b]"),
                    ("K", "Klassifizierung 1", "x[1]", "x[2]"),
                    ("K", "Klassifizierung 2", "[y]", "[z]")],
        "only1": [], "only2": [], "unchanged": "0",
    },
    {
        "what": "blanks at the ends as ␣, inner ones kept",
        "one": [[b" Pumpe", b"P  1 "]],
        "two": [[b" Pumpe", b"P  1"]],
        "changed": [("␣Pumpe", "Bezeichnung", "P  1[␣]", "P  1")],
        "only1": [], "only2": [], "unchanged": "0",
    },
    {
        "what": "markup characters in names and values stay text",
        "one": [[b"<b>&amp;", b"\"x\" < y & z"], [b"</table><script>x", b"'"]],
        "two": [[b"<b>&amp;", b"\"x\" > y & z"]],
        "changed": [("<b>&amp;", "Bezeichnung", "\"x\" [<] y & z", "\"x\" [>] y & z")],
        "only1": [("</table><script>x", "'", "", "")], "only2": [], "unchanged": "0",
    },
    {
        "what": "control characters, undefined and Windows-1252 bytes",
        "one": [[b"a\x1b[31m\x7f", b"\x81\x8d\x80"], [b"Sch\xfctz\x01", b"x"]],
        "two": [[b"a\x1b[31m\x7f", b"\x81\x8d\x9f"]],
        "changed": [("a␛[31m␡", "Bezeichnung", "��[€]", "��[Ÿ]")],
        "only1": [("Schütz␁", "x", "", "")], "only2": [], "unchanged": "0",
    },
    {
        "what": "only in one library, sorted like the lists; a short layout without "
                "classifications",
        "one": [[b"beta", b"B", b"k"], [b"\xc4rger", b"A"], [b"alpha", b"a"]],
        "two_short": [(b"Zeta", b"z"), (b"zeta", b"z"), (b"alpha", b"a")],
        "changed": [],
        "only1": [("Ärger", "A", "", ""), ("beta", "B", "k", "")],
        "only2": [("Zeta", "z"), ("zeta", "z")], "unchanged": "1",
        "note": "Nur Bezeichnungen verglichen: Bibliothek 2 hat das kurze Format",
    },
    {
        "what": "a path with bytes that are no UTF-8, a control and a noncharacter",
        "one": [[b"A"]], "two": [[b"A"]],
        "path1": b"a\xff\x1b\xef\xbf\xbe&<.1",
        "changed": [], "only1": [], "only2": [], "unchanged": "1",
        "library1": "a\ufffd␛\ufffd&<.1",
    },
]


def run_case(case, folder):
    path1 = os.path.join(folder.encode(), case.get("path1", b"one.1"))
    path2 = os.path.join(folder, "two.1")
    with open(path1, "wb") as f:
        f.write(long_library(case["one"]))
    with open(path2, "wb") as f:
        f.write(short_library(case["two_short"]) if "two_short" in case
                else long_library(case["two"]))
    done = subprocess.run([cli, "--format", "html", os.fsdecode(path1), path2],
                          capture_output=True)
    problems = []
    if done.returncode not in (0, 1):
        return [f"exit status {done.returncode}: {done.stderr!r}"]
    page = done.stdout.decode("utf-8")  # strict: bytes that are no UTF-8 fail
    parser = html5lib.HTMLParser(strict=True, namespaceHTMLElements=False)
    try:
        document = parser.parse(page)
    except html5lib.html5parser.ParseError as error:
        return [f"no strict HTML: {error}"]
    if not self_contained(page):
        problems.append("not self-contained")
    style = document.find("head/style").text
    for rule in ("@page { size: A4", "thead { display: table-header-group",
                 "table-layout: fixed", "overflow-wrap: anywhere"):
        if rule not in style:
            problems.append(f"style lacks {rule!r}")
    if document.get("lang") != "de":
        problems.append("not German")
    terms = {text(dt): text(dd) for dt, dd in
             zip(document.iter("dt"), document.iter("dd"))}
    if "library1" in case and "/" + case["library1"] + " (" not in terms["Bibliothek 1"]:
        problems.append(f"library 1 shown as {terms['Bibliothek 1']!r}")
    if not terms["Bibliothek 2"].endswith("two.1 (" + (
            "kurzes" if "two_short" in case else "langes") + f" Format, {len(case.get('two_short', case.get('two')))} Symbol" +
            ("e)" if len(case.get("two_short", case.get("two"))) != 1 else ")")):
        problems.append(f"library 2 shown as {terms['Bibliothek 2']!r}")
    found = sections(document)
    expected_headings = ["Geänderte Symbole", "Symbole nur in Bibliothek 1",
                         "Symbole nur in Bibliothek 2", "Gemeinsame Symbole ohne Änderung"]
    if list(found) != expected_headings:
        return problems + [f"sections {list(found)}"]
    for heading, rows, read in (("Geänderte Symbole", case["changed"], changed_rows),
                                ("Symbole nur in Bibliothek 1", case["only1"], plain_rows),
                                ("Symbole nur in Bibliothek 2", case["only2"], plain_rows)):
        count, table = found[heading]
        if count != str(len({r[0] for r in rows}) if heading.startswith("Ge") else len(rows)):
            problems.append(f"{heading}: count {count}")
        got = read(table) if table is not None else []
        if got != rows:
            problems.append(f"{heading}: rows {got}, expected {rows}")
    if found["Gemeinsame Symbole ohne Änderung"][0] != case["unchanged"]:
        problems.append(f"unchanged {found['Gemeinsame Symbole ohne Änderung'][0]}")
    if "note" in case and case["note"] not in page:
        problems.append("no note why classifications were not compared")
    return problems


failed = 0
for case in CASES:
    with tempfile.TemporaryDirectory() as folder:
        problems = run_case(case, folder)
    print(("FAILED: " if problems else "ok: ") + case["what"])
    for problem in problems:
        print("   " + problem)
    failed += bool(problems)
sys.exit(1 if failed else 0)
