#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compare/compare.h"
#include "library/library_reader.h"

// The German sentences of the command-line tool and the dialog, composed from
// what the reader and the comparison report: one place for both. File names
// are given as they are to be shown (PathForMessage).

// Whether a file was being read or written when the system refused.
enum class FileAccess { kRead, kWrite };

// Why the system refused to open, read or write a file, from the C library's
// error number.
std::string SystemErrorText(int error, FileAccess access);

// Why the file `name` could not be read.
std::string ReadFailureMessage(const std::string& name, const ReadResult& result);

// The warning for a file that reads but does not look like a symbol library.
std::string DoubtfulLibraryMessage(const std::string& name, const ReadResult& result);

// A comparison of the files `name1` and `name2` refused for its `pairs`.
std::string TooManyPairsMessage(const std::string& name1, const std::string& name2,
                                std::uint64_t pairs);

// `number` with German digit grouping: 16.000.000.
std::string GermanNumber(std::uint64_t number);

// What a comparison found, in one line: "6 gemeinsam, davon 2 geändert ·
// 4 nur in Bibliothek 1 · 4 nur in Bibliothek 2".
std::string ComparisonCounts(const Comparison& comparison);

// A library's layout in words: "langes Format" or "kurzes Format".
std::string LayoutName(LibraryLayout layout);

// A field of a changed pair that changed: its German label and library 1's
// and library 2's values (raw bytes).
struct ChangedField {
    const char* label;  // "Bezeichnung", "Klassifizierung 1", "Klassifizierung 2"
    std::string_view before;
    std::string_view after;
};
std::vector<ChangedField> ChangedFields(const Comparison& comparison, const MatchedPair& pair);
