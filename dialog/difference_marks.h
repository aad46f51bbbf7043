#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "compare/compare.h"

class QLineEdit;
class SymbolListModel;

// What changed between the two libraries, shown beside what the template
// shows: signs beside changed common names and beside names that only case or
// blanks keep apart, marks on the common column's changed fields, and the
// sentence of the status line.

// Marks the common rows whose pair changed, and the near misses between the
// two only-lists. The common rows' notes read `compared` when asked for: it
// must stay in place while the lists show it.
void MarkDifferences(const Comparison& compared, SymbolListModel& common, SymbolListModel& only1,
                     SymbolListModel& only2);

// Marks those of the common column's designation and classification fields
// that differ for common slot `slot`, with library 1's value as the note the
// dialog shows as tooltip (property "changeNote") and as accessible
// description; clears the marks of the others.
void MarkChangedFields(const Comparison& compared, std::int64_t slot,
                       const std::array<QLineEdit*, 3>& fields);
