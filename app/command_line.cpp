#include "app/command_line.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

#include "dialog/clibcomparedlg.h"
#include "report/messages.h"

StartRequest ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Vergleicht zwei Symbolbibliotheken (*.1). Mit einer Datei wird sie als Bibliothek 1 "
        "eingelesen, mit zweien werden beide eingelesen und verglichen."));
    // Qt's own options (-platform offscreen, -style …) are Qt's business:
    // known here, so that their values are not taken for files.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "style", "stylesheet",
          "qwindowgeometry", "qwindowtitle", "qwindowicon", "session", "display"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("wert"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("BIBLIOTHEK1"),
                                 QStringLiteral("Die erste Symbolbibliothek."),
                                 QStringLiteral("[BIBLIOTHEK1"));
    parser.addPositionalArgument(QStringLiteral("BIBLIOTHEK2"),
                                 QStringLiteral("Die zweite Symbolbibliothek."),
                                 QStringLiteral("[BIBLIOTHEK2]]"));

    StartRequest request;
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", parser.errorText().toLocal8Bit().constData());
        request.done = true;
        request.exitCode = 2;
        return request;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        const QString text = parser.isSet(help)
                                 ? parser.helpText()
                                 : QCoreApplication::applicationName() + u' ' +
                                       QCoreApplication::applicationVersion() + u'\n';
        std::fputs(text.toLocal8Bit().constData(), stdout);
        request.done = true;
        return request;
    }
    request.files = parser.positionalArguments();
    if (request.files.size() > 2) {
        std::fprintf(stderr, "%s\n",
                     QStringLiteral("Höchstens zwei Symbolbibliotheken; die übrigen werden nicht "
                                    "geöffnet.")
                         .toLocal8Bit()
                         .constData());
        request.ignored = request.files.mid(2);
        request.files = request.files.mid(0, 2);
    }
    return request;
}

void OpenStartFiles(CLibCompareDlg& dialog, const QStringList& files, const QStringList& ignored) {
    // Whole paths, as the file chooser gives them.
    const auto whole = [](const QString& file) { return QFileInfo(file).absoluteFilePath(); };
    if (files.size() == 1) dialog.OpenLibrary1(whole(files[0]));
    if (files.size() == 2) dialog.OpenBothLibraries(whole(files[0]), whole(files[1]));
    if (!ignored.isEmpty()) {
        QStringList names;
        for (const QString& file : ignored) names << QFileInfo(file).fileName();
        dialog.SetStatus(
            QString::fromStdString(NotOpened(names.join(QStringLiteral(", ")).toStdString())) +
            u' ' + dialog.StatusText());
    }
}
