// libcompare-cli: compares two symbol libraries from the command line.
//
//   libcompare-cli [--format text|csv|json] LIB1 LIB2
//
// Exit status as with diff: 0 the same, 1 different, 2 trouble.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <system_error>

#include "report/report.h"

namespace {

constexpr int kSame = 0;
constexpr int kDifferent = 1;
constexpr int kTrouble = 2;

int Fail(const QString& message) {
    std::fprintf(stderr, "libcompare-cli: %s\n", message.toUtf8().constData());
    return kTrouble;
}

// An argument as the UTF-8 text the comparison takes paths in.
std::string ArgumentAsUtf8(const QString& argument) {
    return argument.toStdString();
}

// Why standard output could not be written, in German.
QString WriteFailureReason(int error) {
    const auto code = std::error_code(error, std::generic_category());
    if (code == std::errc::no_space_on_device) return QStringLiteral("Der Datenträger ist voll.");
    if (code == std::errc::file_too_large) return QStringLiteral("Die Datei würde zu groß.");
    if (code == std::errc::io_error)
        return QStringLiteral("Ein Ein-/Ausgabefehler ist aufgetreten.");
    if (code == std::errc::bad_file_descriptor)
        return QStringLiteral("Sie ist nicht zum Schreiben geöffnet.");
    return QStringLiteral("Schreiben nicht möglich (Fehlernummer %1).").arg(error);
}

}  // namespace

int main(int argc, char** argv) {
#if defined(SIGPIPE)
    // A reader that goes away (e.g. "| head") shows up as a failed write.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("libcompare-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LIBCOMPARE_VERSION));
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Vergleicht zwei Symbolbibliotheken (*.1) anhand der Symbolnamen und gibt die "
        "gemeinsamen Symbole, die Symbole nur in Bibliothek 1 bzw. 2 und die geänderten "
        "Symbole aus.\n\nRückgabewert: 0 gleich, 1 Unterschiede gefunden, 2 Fehler."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Zeigt diese Hilfe an."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Zeigt die Versionsnummer an."));
    const QCommandLineOption format(
        {QStringLiteral("f"), QStringLiteral("format")},
        QStringLiteral("Ausgabeformat: text (Vorgabe), csv, csv-excel (für Tabellenkalkulationen "
                       "mit deutschen Einstellungen) oder json."),
        QStringLiteral("format"), QStringLiteral("text"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(format);
    parser.addPositionalArgument(QStringLiteral("BIBLIOTHEK1"),
                                 QStringLiteral("Die erste Symbolbibliothek."));
    parser.addPositionalArgument(QStringLiteral("BIBLIOTHEK2"),
                                 QStringLiteral("Die zweite Symbolbibliothek."));

    if (!parser.parse(QCoreApplication::arguments())) return Fail(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toUtf8().constData(), stdout);
        return kSame;
    }
    if (parser.isSet(version)) {
        std::fputs("libcompare-cli " LIBCOMPARE_VERSION "\n", stdout);
        return kSame;
    }

    ReportFormat reportFormat = ReportFormat::kText;
    const QString formatName = parser.value(format);
    if (formatName == QLatin1String("csv"))
        reportFormat = ReportFormat::kCsv;
    else if (formatName == QLatin1String("csv-excel"))
        reportFormat = ReportFormat::kCsvExcel;
    else if (formatName == QLatin1String("json"))
        reportFormat = ReportFormat::kJson;
    else if (formatName != QLatin1String("text"))
        return Fail(
            QStringLiteral("Unbekanntes Ausgabeformat „%1“ (erlaubt: text, csv, csv-excel, json).")
                .arg(formatName));

    const QStringList files = parser.positionalArguments();
    if (files.size() != 2)
        return Fail(QStringLiteral("Bitte genau zwei Symbolbibliotheken angeben (siehe --help)."));

    auto comparison = std::make_unique<Comparison>();
    std::string error;
    if (!CompareFiles(ArgumentAsUtf8(files[0]), ArgumentAsUtf8(files[1]), *comparison, error,
                      [](const std::string& warning) {
                          std::fprintf(stderr, "libcompare-cli: Warnung: %s\n", warning.c_str());
                      }))
        return Fail(QString::fromStdString(error));

    errno = 0;
    if (!WriteReport(*comparison, reportFormat, stdout)) {
        // A closed pipe (e.g. "| head") just ends the output: nothing more to say.
        const int error = errno;
        if (std::error_code(error, std::generic_category()) == std::errc::broken_pipe)
            return kTrouble;
        return Fail(QStringLiteral("Die Standardausgabe kann nicht geschrieben werden: %1")
                        .arg(WriteFailureReason(error)));
    }
    return comparison->HasDifferences() ? kDifferent : kSame;
}
