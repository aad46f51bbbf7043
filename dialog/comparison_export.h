#pragma once

#include <QString>
#include <cstdint>

#include "report/report.h"

class QWidget;

// Asks where to save `comparison` (what the dialog shows, from memory) and in
// which format, and writes the very bytes that libcompare-cli writes for the
// same two paths. The save dialog's file type gives the format, and its
// suffix is added to a name without one; a typed ".txt", ".csv" or ".json"
// chooses that format instead (for ".csv" the file type still decides
// between CSV and CSV for spreadsheets). It opens in `folder` with `name`
// proposed. Says what was written; nothing when the user cancelled or
// writing failed (then after a message).
struct ExportOutcome {
    QString target;           // empty: nothing written
    std::uint64_t lines = 0;  // line breaks written
};
ExportOutcome ExportComparison(QWidget* parent, const Comparison& comparison,
                               const ReportSources& sources, const QString& folder,
                               const QString& name);

// The format for a file named `target` chosen with file type `type` (0 text,
// 1 CSV, 2 CSV for spreadsheets, 3 JSON).
ReportFormat ExportFormat(const QString& target, int type);

// Writes that report to `target` without asking; a German message on failure,
// and then no file of its own and an earlier file at `target` as it was.
// `lines`, when given, counts the line breaks written.
bool WriteComparison(const Comparison& comparison, const ReportSources& sources,
                     const QString& target, ReportFormat format, QString& error,
                     std::uint64_t* lines = nullptr);
