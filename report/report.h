#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "compare/compare.h"
#include "library/library_reader.h"

// One library as the command-line tool read it.
struct LoadedLibrary {
    std::string path;  // UTF-8, as given
    LibraryLayout layout = LibraryLayout::kShort;
    SymbolTable table;
    std::int32_t count = 0;
};

// Both libraries and what their comparison found.
struct Comparison {
    LoadedLibrary lib1;
    LoadedLibrary lib2;
    SymbolTable common;
    std::int32_t commonCount = 0;
    CompareResult result;

    // Anything only in one library, or a common symbol whose fields differ.
    bool HasDifferences() const;
};

// Reads the two libraries at the UTF-8 paths `path1` and `path2` and compares
// them, as the command-line tool and the dialog's export both do. On failure
// (a file that cannot be read, too many common entries) returns false with
// the German message in `error`. `warn` receives a warning for each file that
// reads but does not look like a symbol library.
bool CompareFiles(const std::string& path1, const std::string& path2, Comparison& comparison,
                  std::string& error, const std::function<void(const std::string&)>& warn = {});

// Text; CSV by RFC 4180; CSV as German spreadsheets open it in columns
// (semicolons, UTF-8 with byte-order mark, CRLF); JSON.
enum class ReportFormat { kText, kCsv, kCsvExcel, kJson };

// Where a report goes: it takes the bytes in pieces, and says false when
// they could not be written.
using ReportSink = std::function<bool(std::string_view bytes)>;

// Writes the report; false when writing failed (e.g. a closed pipe, a full
// disk), and nothing more is written after a failure.
bool WriteReport(const Comparison& comparison, ReportFormat format, const ReportSink& sink);
bool WriteReport(const Comparison& comparison, ReportFormat format, std::FILE* out);
