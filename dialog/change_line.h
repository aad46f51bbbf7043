#pragma once

#include <QFont>
#include <QList>
#include <QString>

#include "compare/compare.h"

// The line of library 1's and library 2's values of a changed common symbol:
// "Schütz – Bezeichnung: „… 3-polig“ → „… 4-polig“", with the part of each
// value that differs in bold and blanks at either end of a value visible.

struct LinePiece {
    QString text;
    bool bold = false;
};
using LinePieces = QList<LinePiece>;

// The pieces of the line for `pair`; none when it did not change.
LinePieces ChangeLinePieces(const Comparison& comparison, const MatchedPair& pair);

// The pieces as plain text.
QString PlainText(const LinePieces& pieces);

// The pieces as rich text; with `width` > 0, cut to fit `width` pixels in
// `font` and ended with "…" where they do not.
QString RichText(const LinePieces& pieces, const QFont& font, int width = 0);
