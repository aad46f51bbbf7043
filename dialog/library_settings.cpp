#include "dialog/library_settings.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString kLastFolder = QStringLiteral("Dateiauswahl/LetzterOrdner");
}

QString LastLibraryFolder() {
    return QSettings().value(kLastFolder).toString();
}

void RememberLibraryFolder(const QString& file) {
    QSettings().setValue(kLastFolder, QFileInfo(file).absolutePath());
}
