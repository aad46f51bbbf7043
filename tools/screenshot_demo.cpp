// Opens the comparison dialog, compares two libraries through its own buttons
// and file chooser, selects a symbol in each only-list, steps with Alt+Down to
// the changed common symbol given, and then waits to be photographed. Prints
// "ready" when the picture can be taken. With SCREENSHOT_DIFFERENCES set, it
// opens the window "Unterschiede" by its button, over the dialog; with
// SCREENSHOT_TAKE set, the common symbol's changes are taken into library 2.
//
//   screenshot_demo LIB1 LIB2 SYMBOL_ONLY1 SYMBOL_COMMON SYMBOL_ONLY2
#include <QAction>
#include <QApplication>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

#include "dialog/clibcomparedlg.h"
#include "dialog/resource.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "dialog_driver.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: screenshot_demo LIB1 LIB2 ONLY1 COMMON ONLY2\n");
        return 2;
    }
    QTranslator qt;
    if (qt.load(QLocale(QLocale::German), "qtbase", "_",
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt);
    const QStringList args = QApplication::arguments();

    CLibCompareDlg dialog;
    dialog.show();
    QTimer::singleShot(200, [&] {
        modal::Drive([&] { ControlById<QPushButton>(dialog, IDC_LOAD1_BUTTON)->click(); },
                     {modal::Choose(args[1])});
        modal::Drive([&] { ControlById<QPushButton>(dialog, IDC_LOAD2_BUTTON)->click(); },
                     {modal::Choose(args[2])});
        SelectText(dialog.m_listOnly2, args[5]);
        SelectText(dialog.m_listOnly1, args[3]);
        dialog.m_listCommon->setFocus();
        for (int step = 0; step < 10; ++step) {
            const int row = dialog.m_listCommon->CurrentSelection();
            if (row >= 0 && Rows(dialog.m_listCommon)[row] == args[4]) break;
            QTest::keyClick(dialog.windowHandle(), Qt::Key_Down, Qt::AltModifier);
        }
        if (qEnvironmentVariableIsSet("SCREENSHOT_DIFFERENCES")) {
            dialog.findChild<QPushButton*>(QStringLiteral("differences"))->click();
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window != &dialog && window->isVisible())
                    window->setGeometry(40, 330, 1000, 330);
        }
        // With SCREENSHOT_TAKE set, the common symbol is taken into library 2.
        if (qEnvironmentVariableIsSet("SCREENSHOT_TAKE"))
            dialog.findChild<QAction*>(QStringLiteral("takeInto2"))->trigger();
        QTimer::singleShot(500, [] {
            std::puts("ready");
            std::fflush(stdout);
        });
    });
    QTimer::singleShot(60000, &app, &QApplication::quit);  // never outlive the photographer
    return app.exec();
}
