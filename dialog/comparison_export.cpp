#include "dialog/comparison_export.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <cerrno>
#include <memory>
#include <string_view>

#include "library/system_error_text.h"
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

// Why writing `target` failed, in the words the command-line tool uses.
QString WriteFailure(const QString& target, int error) {
    return QStringLiteral("„%1“ kann nicht geschrieben werden: %2")
        .arg(QDir::toNativeSeparators(target),
             error != 0 ? QString::fromStdString(SystemErrorText(error, FileAccess::kWrite))
                        : QStringLiteral("Schreiben nicht möglich."));
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
    // Written aside and put in place only when complete: a failed export
    // leaves no file behind, and an earlier file stays as it was.
    QSaveFile file(target);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        error = WriteFailure(target, errno);
        return false;
    }
    int writeError = 0;
    const ReportSink sink = [&file, &writeError](std::string_view bytes) {
        errno = 0;
        if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
            static_cast<qint64>(bytes.size()))
            return true;
        writeError = errno;
        return false;
    };
    // The last bytes are flushed here, not left to commit(): Qt 6.4's commit
    // puts a file in place whose final flush failed.
    bool written = WriteReport(*comparison, kTypes[format].format, sink);
    if (written) {
        errno = 0;
        written = file.flush();
        if (!written) writeError = errno;
    }
    if (!written) {
        file.cancelWriting();
        error = WriteFailure(target, writeError);
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        error = WriteFailure(target, errno);
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
