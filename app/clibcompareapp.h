#pragma once

#include <QApplication>
#include <QTranslator>

// The application: start-up around the one modal dialog.
class CLibCompareApp {
public:
    CLibCompareApp(int& argc, char** argv);

    // Runs the dialog; returns when it is closed. The result is not used.
    bool InitInstance();

    // The application's name, version and organisation, as the platform
    // shows them.
    static void SetIdentity();

    QApplication& Application() { return m_application; }

private:
    QApplication m_application;
    QTranslator m_qtTranslator;
};
