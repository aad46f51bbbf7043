#pragma once

#include <QByteArray>
#include <QString>

// The folder of the library chosen last, kept in the application's settings
// (under the organisation and application names that start-up sets); empty
// before the first.
QString LastLibraryFolder();
void RememberLibraryFolder(const QString& file);

// The folder of the last export; empty before the first.
QString LastExportFolder();
void RememberExportFolder(const QString& file);

// The comparison options chosen last; none before.
struct ComparisonOptions;
ComparisonOptions LastComparisonOptions();
void RememberComparisonOptions(const ComparisonOptions& options);

// The dialog's size and place when it was closed last; empty before.
QByteArray LastWindowGeometry();
void RememberWindowGeometry(const QByteArray& geometry);
