#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

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

enum class ReportFormat { kText, kCsv, kJson };

// Writes the report; false when writing failed (e.g. a closed pipe).
bool WriteReport(const Comparison& comparison, ReportFormat format, std::FILE* out);
