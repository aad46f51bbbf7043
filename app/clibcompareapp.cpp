#include "app/clibcompareapp.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>

#include "dialog/clibcomparedlg.h"

CLibCompareApp::CLibCompareApp(int& argc, char** argv) : m_application(argc, argv) {}

void CLibCompareApp::SetIdentity() {
    QApplication::setApplicationName(QStringLiteral("TORVEX Bibliotheksvergleich"));
    // No display name: platforms append it to every window title, and the
    // title is the dialog's caption alone.
    QApplication::setApplicationVersion(QStringLiteral(LIBCOMPARE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("libcompare"));
    // Where settings would live; the tool reads and writes none.
    QApplication::setOrganizationName(
        QStringLiteral("Vom lokalen Anwendungs-Assistenten generierte Anwendungen"));
}

bool CLibCompareApp::InitInstance() {
    // Qt's own dialogs (the file chooser, message boxes, context menus) in German.
    if (m_qtTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&m_qtTranslator);

    SetIdentity();

    QIcon icon;
    for (const char* name :
         {":/icons/libcompare-16.png", ":/icons/libcompare-32.png", ":/icons/libcompare-48.png"})
        icon.addFile(QString::fromLatin1(name));
    QApplication::setWindowIcon(icon);

    CLibCompareDlg dialog;
    dialog.exec();
    return false;  // the dialog was the whole application
}
