// The report as CSV (RFC 4180), and as German spreadsheets open it.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "library/prefetch.h"
#include "report/messages.h"
#include "report/report_output.h"

namespace report_detail {

namespace {

// ---- CSV (RFC 4180) --------------------------------------------------------

// The columns and list names: for scripts in English, for spreadsheets in
// German.
struct CsvWords {
    char separator;
    const char* header;
    const char* common;
    const char* only1;
    const char* only2;
    const char* changed;
    const char* unchanged;
    // The fields that changed, by their FieldDifference bits; neither list
    // needs quoting in its own CSV.
    const char* changedFields[8];
};
constexpr CsvWords kCsvWords{
    ',',
    "list,symbol,designation,classification1,classification2,changed,"
    "library1_designation,library1_classification1,"
    "library1_classification2,changed_fields\r\n",
    "common",
    "only1",
    "only2",
    "1",
    "0",
    {"", "designation", "classification1", "designation;classification1", "classification2",
     "designation;classification2", "classification1;classification2",
     "designation;classification1;classification2"}};
constexpr CsvWords kSpreadsheetWords{
    ';',
    "Liste;Symbol;Bezeichnung;Klassifizierung 1;Klassifizierung 2;Geändert;Bezeichnung "
    "Bibliothek 1;Klassifizierung 1 Bibliothek 1;Klassifizierung 2 Bibliothek 1;Geänderte "
    "Felder\r\n",
    "gemeinsam",
    "nur in Bibliothek 1",
    "nur in Bibliothek 2",
    "ja",
    "nein",
    {"", "Bezeichnung", "Klassifizierung 1", "Bezeichnung, Klassifizierung 1", "Klassifizierung 2",
     "Bezeichnung, Klassifizierung 2", "Klassifizierung 1, Klassifizierung 2",
     "Bezeichnung, Klassifizierung 1, Klassifizierung 2"}};

// One row: the list, the four fields, then for a common row whether its pair
// changed, library 1's three values (`before`) and which fields changed
// (`differences`); empty on the other lists.
void CsvRow(Output& out, const CsvWords& words, std::string_view list, const SymbolEntry& e,
            const char* changed = nullptr, const SymbolEntry& before = {},
            std::uint8_t differences = 0) {
    const std::string_view separator(&words.separator, 1);
    out.Text(list);
    for (std::string_view field : {e.symbol, e.designation, e.classification1, e.classification2}) {
        out.Text(separator);
        out.CsvField(field, words.separator);
    }
    out.Text(separator);
    if (changed) out.Text(changed);
    for (std::string_view field :
         {before.designation, before.classification1, before.classification2}) {
        out.Text(separator);
        out.CsvField(field, words.separator);
    }
    out.Text(separator);
    out.Text(words.changedFields[differences & 7]);
    out.Text("\r\n");
}

}  // namespace

// RFC 4180 with commas; for spreadsheets set to German, semicolons after a
// byte-order mark that tells them the text is UTF-8.
bool WriteCsv(const Comparison& c, const ReportSink& sink, bool forSpreadsheets) {
    Output out(sink, forSpreadsheets);
    const CsvWords& words = forSpreadsheets ? kSpreadsheetWords : kCsvWords;
    if (forSpreadsheets) out.Text("\xEF\xBB\xBF");
    out.Text(words.header);
    InBlocks(out, c.pairs.size(), [&](Output& block, std::size_t begin, std::size_t end) {
        for (std::size_t k = begin; k < end; ++k) {
            // Library 1's records of the pairs lie all over its file unless
            // both libraries hold their names in the same order.
            if (k + kPrefetchAhead < end)
                c.lib1.table.Prefetch(c.pairs[k + kPrefetchAhead].record1);
            const MatchedPair& pair = c.pairs[k];
            CsvRow(block, words, words.common, c.Record2(pair),
                   pair.differences != 0 ? words.changed : words.unchanged, c.Record1(pair),
                   pair.differences);
        }
    });
    const auto onlyRows = [&](const char* list, const ComparedLibrary& lib,
                              const std::vector<std::int32_t>& only) {
        InBlocks(out, only.size(), [&](Output& block, std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                CsvRow(block, words, list, lib.table[only[i]]);
        });
    };
    onlyRows(words.only1, c.lib1, c.only1);
    onlyRows(words.only2, c.lib2, c.only2);
    return out.Finish();
}

}  // namespace report_detail
