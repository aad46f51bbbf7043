#include "app/clibcompareapp.h"

#include <QCoreApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>

#include "app/command_line.h"
#include "dialog/clibcomparedlg.h"

namespace {

// Qt's own texts (the file chooser, message boxes, the command-line parser)
// in German.
void InstallGermanQtTexts(QTranslator& translator) {
    if (translator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

}  // namespace

CLibCompareApp::CLibCompareApp(int& argc, char** argv) : m_application(argc, argv) {}

void CLibCompareApp::SetIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("TORVEX Bibliotheksvergleich"));
    // No display name: platforms append it to every window title, and the
    // title is the dialog's caption alone.
    QCoreApplication::setApplicationVersion(QStringLiteral(LIBCOMPARE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("libcompare"));
    // The settings (the folder of the library chosen last) live under these.
    QCoreApplication::setOrganizationName(
        QStringLiteral("Vom lokalen Anwendungs-Assistenten generierte Anwendungen"));
}

StartRequest CLibCompareApp::ReadCommandLine(int& argc, char** argv) {
    QCoreApplication core(argc, argv);
    QTranslator translator;
    InstallGermanQtTexts(translator);
    SetIdentity();
    return ParseCommandLine(QCoreApplication::arguments());
}

bool CLibCompareApp::InitInstance(const QStringList& files, const QStringList& ignored) {
    InstallGermanQtTexts(m_qtTranslator);
    SetIdentity();

    QIcon icon;
    for (const char* name :
         {":/icons/libcompare-16.png", ":/icons/libcompare-32.png", ":/icons/libcompare-48.png"})
        icon.addFile(QString::fromLatin1(name));
    QApplication::setWindowIcon(icon);

    CLibCompareDlg dialog;
    // Files from the command line, once the dialog shows, so that a message
    // about one of them has the dialog to stand on.
    QTimer::singleShot(0, &dialog,
                       [&dialog, files, ignored] { OpenStartFiles(dialog, files, ignored); });
    dialog.exec();
    return false;  // the dialog was the whole application
}
