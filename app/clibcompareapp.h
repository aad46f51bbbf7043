#pragma once

#include <QApplication>
#include <QStringList>
#include <QTranslator>

#include "app/command_line.h"

// The application: start-up around the one modal dialog.
class CLibCompareApp {
public:
    CLibCompareApp(int& argc, char** argv);

    // Reads the command line before there is an application with windows, so
    // that --help and --version need no display.
    static StartRequest ReadCommandLine(int& argc, char** argv);

    // Runs the dialog, opening `files` first; returns when it is closed. The
    // result is not used.
    bool InitInstance(const QStringList& files = {}, const QStringList& ignored = {});

    // The application's name, version and organisation, as the platform
    // shows them.
    static void SetIdentity();

    QApplication& Application() { return m_application; }

private:
    QApplication m_application;
    QTranslator m_qtTranslator;
};
