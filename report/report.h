#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "compare/compare.h"

// How a report names the two libraries: their paths as given (UTF-8).
struct ReportSources {
    std::string path1;
    std::string path2;
};

// Text for people; CSV by RFC 4180; CSV as German spreadsheets open it in
// columns (semicolons, UTF-8 with byte-order mark, CRLF, German headers);
// JSON.
enum class ReportFormat { kText, kCsv, kCsvExcel, kJson };

// Where a report goes: it takes the bytes in pieces, and says false when
// they could not be written.
using ReportSink = std::function<bool(std::string_view bytes)>;

// Writes the report of `comparison`; false when writing failed (e.g. a
// closed pipe, a full disk), and nothing more is written after a failure.
bool WriteReport(const Comparison& comparison, const ReportSources& sources, ReportFormat format,
                 const ReportSink& sink);
