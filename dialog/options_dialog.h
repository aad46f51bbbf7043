#pragma once

#include "compare/compare.h"

class QWidget;

// The small dialog "Vergleichsoptionen": what the comparison of the fields
// ignores. Shows `options`; returns true with the choice in `options` when
// the user confirmed it.
bool AskComparisonOptions(QWidget* parent, ComparisonOptions& options);
