#pragma once

#include <QString>

// The folder of the library chosen last, kept in the application's settings
// (under the organisation and application names that start-up sets); empty
// before the first.
QString LastLibraryFolder();
void RememberLibraryFolder(const QString& file);
