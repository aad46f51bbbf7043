#include "dialog/change_line.h"

#include <QFontMetrics>

#include "dialog/symbol_list_model.h"
#include "report/messages.h"

namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

LinePieces ChangeLinePieces(const Comparison& comparison, const MatchedPair& pair) {
    const std::vector<ChangedField> fields = ChangedFields(comparison, pair);
    if (fields.empty()) return {};
    const std::string_view symbol = comparison.lib2.table.Symbol(pair.record2);
    const ShownValue name = ShowValue(symbol, 0, symbol.size());
    LinePieces pieces{{Utf8(name.Whole()) + QStringLiteral(" – "), false}};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const ChangedField& f = fields[i];
        const DifferingPart part = FindDifferingPart(f.before, f.after);
        const ShownValue before = ShowValue(f.before, part.start, part.endBefore);
        const ShownValue after = ShowValue(f.after, part.start, part.endAfter);
        pieces << LinePiece{QStringLiteral("%1%2: „%3")
                                .arg(i > 0 ? QStringLiteral("; ") : QString(),
                                     QString::fromLatin1(f.label), Utf8(before.head)),
                            false}
               << LinePiece{Utf8(before.differing), true}
               << LinePiece{Utf8(before.tail) + QStringLiteral("“ → „") + Utf8(after.head), false}
               << LinePiece{Utf8(after.differing), true}
               << LinePiece{Utf8(after.tail) + QStringLiteral("“"), false};
    }
    return pieces;
}

QString PlainText(const LinePieces& pieces) {
    QString text;
    for (const LinePiece& piece : pieces) text += piece.text;
    return text;
}

QString RichText(const LinePieces& pieces, const QFont& font, int width) {
    QFont boldFont = font;
    boldFont.setBold(true);
    const QFontMetrics plain(font), bold(boldFont);
    const QString ellipsis = QStringLiteral("…");
    int room = width > 0 ? width - plain.horizontalAdvance(ellipsis) : -1;
    const bool cut = width > 0 && plain.horizontalAdvance(PlainText(pieces)) > width;
    QString html = QStringLiteral("<span style=\"white-space:pre\">");
    for (const LinePiece& piece : pieces) {
        QString text = piece.text;
        bool last = false;
        if (cut) {
            const QFontMetrics& metrics = piece.bold ? bold : plain;
            // The longest start of the piece that fits, found by halving.
            qsizetype fits = 0, over = text.size() + 1;
            while (fits + 1 < over) {
                const qsizetype mid = (fits + over) / 2;
                (metrics.horizontalAdvance(text.left(mid)) <= room ? fits : over) = mid;
            }
            last = fits < text.size();
            room -= metrics.horizontalAdvance(text.left(fits));
            text = text.left(fits);
        }
        if (!text.isEmpty())
            html += piece.bold ? QStringLiteral("<b>%1</b>").arg(text.toHtmlEscaped())
                               : text.toHtmlEscaped();
        if (last) {
            html += ellipsis;
            break;
        }
    }
    return html + QStringLiteral("</span>");
}
