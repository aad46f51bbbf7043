#pragma once

#include <cstdint>
#include <string>

#include "library/symbol_table.h"
#include "report/report.h"

// One library as text, one record a line, for people and for `git diff`
// (libcompare-cli --list): the records sorted as the lists sort them (by
// symbol, ignoring case and accents; names held more than once in record
// order), each line its fields separated by tabs, as UTF-8, every control
// character shown as a visible symbol (␉, ␍, ␊, …), so that a record is always
// exactly one line and a changed field is one changed line.

// Appends record `record`'s line without its line break: symbol and
// designation, and with `classifications` (the long layout) the two
// classifications.
void AppendListingLine(const SymbolEntry& record, bool classifications, std::string& out);

// Writes records 1 to `count` of `table`, a line each, to `sink` in pieces of
// some kilobytes; false when writing failed, and nothing more is written
// after a failure. Beyond the table it needs memory for the order: about
// 30 bytes a record while sorting.
bool WriteLibraryListing(const SymbolTable& table, std::int32_t count, const ReportSink& sink);
