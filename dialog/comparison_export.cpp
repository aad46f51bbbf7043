#include "dialog/comparison_export.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "report/report.h"

namespace {

struct FileType {
    const char* filter;
    const char* suffix;
    ReportFormat format;
};
const FileType kTypes[] = {
    {"Text (*.txt)", "txt", ReportFormat::kText},
    {"CSV (*.csv)", "csv", ReportFormat::kCsv},
    {"CSV für Tabellenkalkulation (*.csv)", "csv", ReportFormat::kCsvExcel},
    {"JSON (*.json)", "json", ReportFormat::kJson},
};

std::FILE* OpenForWriting(const QString& path) {
#if defined(_WIN32)
    return _wfopen(reinterpret_cast<const wchar_t*>(path.utf16()), L"wb");
#else
    return std::fopen(QFile::encodeName(path).constData(), "wb");
#endif
}

}  // namespace

bool WriteComparison(const QString& file1, const QString& file2, const QString& target, int format,
                     QString& error) {
    auto comparison = std::make_unique<Comparison>();
    std::string failure;
    if (!CompareFiles(file1.toStdString(), file2.toStdString(), *comparison, failure)) {
        error = QString::fromStdString(failure);
        return false;
    }
    std::FILE* out = OpenForWriting(target);
    if (!out) {
        error = QStringLiteral("„%1“ kann nicht geschrieben werden: %2")
                    .arg(target, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const bool written = WriteReport(*comparison, kTypes[format].format, out);
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        error = QStringLiteral("„%1“ konnte nicht vollständig geschrieben werden.").arg(target);
        return false;
    }
    return true;
}

void ExportComparison(QWidget* parent, const QString& file1, const QString& file2) {
    QFileDialog chooser(parent, QStringLiteral("Vergleich exportieren"));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const FileType& type : kTypes) filters << QString::fromUtf8(type.filter);
    chooser.setNameFilters(filters);
    chooser.setDirectory(QFileInfo(file2).absolutePath());
    chooser.setDefaultSuffix(QString::fromLatin1(kTypes[0].suffix));
    QObject::connect(&chooser, &QFileDialog::filterSelected, &chooser,
                     [&chooser, filters](const QString& filter) {
                         const auto at = filters.indexOf(filter);
                         if (at >= 0)
                             chooser.setDefaultSuffix(QString::fromLatin1(kTypes[at].suffix));
                     });
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const int format = std::max<int>(0, filters.indexOf(chooser.selectedNameFilter()));
    QString error;
    if (!WriteComparison(file1, file2, chooser.selectedFiles().constFirst(), format, error))
        QMessageBox::warning(parent, parent->windowTitle(), error);
}
