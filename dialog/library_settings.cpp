#include "dialog/library_settings.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString kLastFolder = QStringLiteral("Dateiauswahl/LetzterOrdner");
const QString kExportFolder = QStringLiteral("Export/LetzterOrdner");
const QString kGeometry = QStringLiteral("Fenster/Geometrie");
}  // namespace

QString LastLibraryFolder() {
    return QSettings().value(kLastFolder).toString();
}

void RememberLibraryFolder(const QString& file) {
    QSettings().setValue(kLastFolder, QFileInfo(file).absolutePath());
}

QString LastExportFolder() {
    return QSettings().value(kExportFolder).toString();
}

void RememberExportFolder(const QString& file) {
    QSettings().setValue(kExportFolder, QFileInfo(file).absolutePath());
}

QByteArray LastWindowGeometry() {
    return QSettings().value(kGeometry).toByteArray();
}

void RememberWindowGeometry(const QByteArray& geometry) {
    QSettings().setValue(kGeometry, geometry);
}
