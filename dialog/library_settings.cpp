#include "dialog/library_settings.h"

#include <QFileInfo>
#include <QSettings>

#include "compare/compare.h"

namespace {
const QString kLastFolder = QStringLiteral("Dateiauswahl/LetzterOrdner");
const QString kExportFolder = QStringLiteral("Export/LetzterOrdner");
const QString kGeometry = QStringLiteral("Fenster/Geometrie");
const QString kIgnoreCase = QStringLiteral("Vergleich/GrossKleinIgnorieren");
const QString kIgnoreBlanks = QStringLiteral("Vergleich/LeerzeichenAmRandIgnorieren");
const QString kIgnoreClassifications =
    QStringLiteral("Vergleich/KlassifizierungenNichtVergleichen");
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

ComparisonOptions LastComparisonOptions() {
    const QSettings settings;
    ComparisonOptions options;
    options.ignoreCase = settings.value(kIgnoreCase, false).toBool();
    options.ignoreBlanks = settings.value(kIgnoreBlanks, false).toBool();
    options.ignoreClassifications = settings.value(kIgnoreClassifications, false).toBool();
    return options;
}

void RememberComparisonOptions(const ComparisonOptions& options) {
    QSettings settings;
    settings.setValue(kIgnoreCase, options.ignoreCase);
    settings.setValue(kIgnoreBlanks, options.ignoreBlanks);
    settings.setValue(kIgnoreClassifications, options.ignoreClassifications);
}
