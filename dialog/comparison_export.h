#pragma once

#include <QString>

class QWidget;

// Asks where to save the comparison of the libraries `file1` and `file2`,
// and in which format (the save dialog's file type: text, CSV, CSV for
// spreadsheets, JSON; the type's suffix is added to a name without one), and
// writes the very bytes that libcompare-cli writes for the same two paths.
void ExportComparison(QWidget* parent, const QString& file1, const QString& file2);

// Writes that report to `target` without asking; a German message on failure.
bool WriteComparison(const QString& file1, const QString& file2, const QString& target, int format,
                     QString& error);
