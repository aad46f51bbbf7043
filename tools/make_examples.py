#!/usr/bin/env python3
"""Writes the two example libraries in examples/:

  schaltplan-alt.1  long layout (symbol, designation, two classifications)
  schaltplan-neu.1  short layout (symbol and designation only)

Some symbols are in both, some only in one, some have another designation.
Texts are Windows-1252 like the real files."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "examples")

OLD = [  # symbol, designation, classification 1, classification 2
    ("Relais", "Relais 24 V", "Schaltgeräte", "Spulen"),
    ("Schütz", "Leistungsschütz 3-polig", "Schaltgeräte", "Hauptstrom"),
    ("Sicherung", "Schmelzsicherung", "Schutzeinrichtungen", "Überstrom"),
    ("Motor", "Drehstrommotor", "Antriebe", "Maschinen"),
    ("Taster", "Drucktaster Schließer", "Befehlsgeräte", "Hand"),
    ("Lampe", "Meldeleuchte grün", "Meldegeräte", "Optisch"),
    ("Klemme", "Durchgangsklemme", "Verbindungen", "Reihenklemmen"),
    ("Erdung", "Schutzleiteranschluss", "Verbindungen", "PE"),
    ("Wächter", "Phasenwächter", "Schutzeinrichtungen", "Überwachung"),
    ("Übertrager", "Trenntransformator", "Transformatoren", "Steuerspannung"),
]

NEW = [  # symbol, designation
    ("Relais", "Relais 24 V"),
    ("Schütz", "Leistungsschütz 4-polig"),
    ("Sicherung", "Schmelzsicherung"),
    ("motor", "Drehstrommotor"),
    ("Taster", "Drucktaster Öffner"),
    ("Klemme", "Durchgangsklemme"),
    ("Erdung", "Schutzleiteranschluss"),
    ("Umrichter", "Frequenzumrichter"),
    ("Schalter", "Hauptschalter"),
    ("Zähler", "Energiezähler"),
]


def enc(text):
    return text.encode("cp1252")


def long_library(records):
    data = bytearray(b"\xff\xff" + bytes(12) + bytes(144))
    for fields in records:
        slot = b"".join(enc(f) + b"\0" for f in fields)
        assert len(slot) <= 144, fields
        data += slot.ljust(144, b"\0")
    return bytes(data)


def short_library(records):
    data = bytearray(b"SL" + bytes(12) + bytes(64))
    for symbol, designation in records:
        slot = bytearray(64)
        s, d = enc(symbol), enc(designation)
        assert len(s) < 18 and len(d) < 46, symbol
        slot[0:len(s)] = s
        slot[18:18 + len(d)] = d
        data += slot
    return bytes(data)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "schaltplan-alt.1"), "wb") as f:
        f.write(long_library(OLD))
    with open(os.path.join(OUT, "schaltplan-neu.1"), "wb") as f:
        f.write(short_library(NEW))
