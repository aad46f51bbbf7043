#include "dialog/comparison_export.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <memory>
#include <string_view>

#include "report/messages.h"
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
    {"HTML (*.html)", "html", ReportFormat::kHtml},
};

// Why writing `target` failed, in the words the command-line tool uses.
QString WriteFailure(const QString& target, int error) {
    return QString::fromStdString(
        ExportFailed(QDir::toNativeSeparators(target).toStdString(),
                     error != 0 ? SystemErrorText(error, FileAccess::kWrite) : std::string()));
}

}  // namespace

ReportFormat ExportFormat(const QString& target, int type) {
    const QString suffix = QFileInfo(target).suffix().toLower();
    const ReportFormat chosen =
        kTypes[std::clamp(type, 0, static_cast<int>(std::size(kTypes)) - 1)].format;
    if (suffix == QLatin1String("txt")) return ReportFormat::kText;
    if (suffix == QLatin1String("json")) return ReportFormat::kJson;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return ReportFormat::kHtml;
    if (suffix == QLatin1String("csv"))
        return chosen == ReportFormat::kCsvExcel ? ReportFormat::kCsvExcel : ReportFormat::kCsv;
    return chosen;
}

bool WriteComparison(const Comparison& comparison, const ReportSources& sources,
                     const QString& target, ReportFormat format, QString& error,
                     std::uint64_t* lines) {
    // Written aside and put in place only when complete: a failed export
    // leaves no file behind, and an earlier file stays as it was.
    QSaveFile file(target);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        // Windows says why through its own error codes, not errno.
        const bool folderMissing = !QFileInfo(QFileInfo(target).absolutePath()).isDir();
        error = WriteFailure(target, errno != 0 ? errno : folderMissing ? ENOENT : 0);
        return false;
    }
    int writeError = 0;
    const ReportSink sink = [&file, &writeError, lines](std::string_view bytes) {
        if (lines)
            *lines += static_cast<std::uint64_t>(std::count(bytes.begin(), bytes.end(), '\n'));
        errno = 0;
        if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
            static_cast<qint64>(bytes.size()))
            return true;
        writeError = errno;
        return false;
    };
    // The last bytes are flushed here, not left to commit(): Qt 6.4's commit
    // puts a file in place whose final flush failed.
    bool written = WriteReport(comparison, sources, format, sink);
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

ExportOutcome ExportComparison(QWidget* parent, const Comparison& comparison,
                               const ReportSources& sources, const QString& folder,
                               const QString& name) {
    QFileDialog chooser(parent, QStringLiteral("Vergleich exportieren"));
#if !defined(_WIN32)
    // Qt's own chooser, the same on every desktop. Windows has its native one
    // (platforms without one, like the tests' offscreen platform, get Qt's).
    chooser.setOption(QFileDialog::DontUseNativeDialog);
#endif
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const FileType& type : kTypes) filters << QString::fromUtf8(type.filter);
    chooser.setNameFilters(filters);
    chooser.setDirectory(folder);
    chooser.setDefaultSuffix(QString::fromLatin1(kTypes[0].suffix));
    chooser.selectFile(name + QStringLiteral(".") + QString::fromLatin1(kTypes[0].suffix));
    QObject::connect(&chooser, &QFileDialog::filterSelected, &chooser,
                     [&chooser, filters](const QString& filter) {
                         const auto at = filters.indexOf(filter);
                         if (at >= 0)
                             chooser.setDefaultSuffix(QString::fromLatin1(kTypes[at].suffix));
                     });
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return {};
    const QString target = chooser.selectedFiles().constFirst();
    const int type = std::max<int>(0, filters.indexOf(chooser.selectedNameFilter()));
    QString error;
    ExportOutcome outcome;
    if (!WriteComparison(comparison, sources, target, ExportFormat(target, type), error,
                         &outcome.lines)) {
        QMessageBox::warning(parent, parent->windowTitle(), error);
        return {};
    }
    outcome.target = target;
    return outcome;
}
