#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "compare/compare.h"

// What a report shows when the lists are filtered, applied as the dialog's
// lists apply it: a name is shown when it contains `search`, ignoring case
// and accents (FoldForSearch); `onlyChanged` keeps only the changed common
// symbols, and leaves the two lists of one library's symbols to the search.
// Empty and false: no filter, and the report is as without one.
struct ReportFilter {
    // As the lists hold names: Windows-1252 bytes. A typed character that
    // code page lacks stands as a NUL byte, which no name holds.
    std::string search;
    bool onlyChanged = false;
    // Rows chosen elsewhere (the window "Unterschiede"), in words (UTF-8);
    // the comparison given to WriteReport is then those rows, and
    // ReportSources::chosenFrom the whole.
    std::string rows = {};
    bool Active() const { return !search.empty() || onlyChanged || !rows.empty(); }
};

// How a report names the two libraries: their paths as given (UTF-8); and
// the filter of what it shows.
struct ReportSources {
    std::string path1;
    std::string path2;
    ReportFilter filter = {};
    // The whole comparison, when the one reported is rows chosen from it:
    // its totals stand beside what is shown, and no filter is applied again.
    const Comparison* chosenFrom = nullptr;
};

// Text for people; CSV by RFC 4180; CSV as German spreadsheets open it in
// columns (semicolons, UTF-8 with byte-order mark, CRLF, German headers);
// JSON; one HTML page for people, to read or print.
enum class ReportFormat { kText, kCsv, kCsvExcel, kJson, kHtml };

// Where a report goes: it takes the bytes in pieces, and says false when
// they could not be written.
using ReportSink = std::function<bool(std::string_view bytes)>;

// Writes the report of `comparison`; false when writing failed (e.g. a
// closed pipe, a full disk), and nothing more is written after a failure.
// With comparison options (comparison.options), the text, the JSON and the
// HTML say which were in force; without, nothing about them.
// With a filter in `sources`, only what it shows: the text and the JSON say
// which filter applied, and their counts are those of what is shown, with the
// totals beside them; CSV holds just the rows shown.
bool WriteReport(const Comparison& comparison, const ReportSources& sources, ReportFormat format,
                 const ReportSink& sink);
