#include "report/library_listing.h"

#include <vector>

#include "library/text.h"

void AppendListingLine(const SymbolEntry& record, bool classifications, std::string& out) {
    AppendWindows1252Visible(record.symbol, out);
    out += '\t';
    AppendWindows1252Visible(record.designation, out);
    if (!classifications) return;
    out += '\t';
    AppendWindows1252Visible(record.classification1, out);
    out += '\t';
    AppendWindows1252Visible(record.classification2, out);
}

bool WriteLibraryListing(const SymbolTable& table, std::int32_t count, const ReportSink& sink) {
    std::vector<std::int32_t> order(static_cast<std::size_t>(count < 0 ? 0 : count));
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::int32_t>(i + 1);
    SortForDisplay(order, [&table](std::int32_t record) { return table.Symbol(record); });

    // Lines go out in pieces of this size at least: few writes, little memory.
    constexpr std::size_t kPiece = std::size_t{1} << 16;
    const bool classifications = table.HasClassifications();
    std::string piece;
    piece.reserve(kPiece + 1024);
    for (const std::int32_t record : order) {
        AppendListingLine(table[record], classifications, piece);
        piece += '\n';
        if (piece.size() >= kPiece) {
            if (!sink(piece)) return false;
            piece.clear();
        }
    }
    return piece.empty() || sink(piece);
}
