#pragma once

#include <QStringList>

class CLibCompareDlg;

// What the command line asks for: `libcompare [LIB1 [LIB2]]`, or --help and
// --version, which have been answered when `done` is set.
struct StartRequest {
    QStringList files;    // at most two
    QStringList ignored;  // the files beyond two, not opened
    bool done = false;
    int exitCode = 0;
};

// Parses the arguments with Qt's parser (German through Qt's translations).
StartRequest ParseCommandLine(const QStringList& arguments);

// Opens the files as the buttons would, without the chooser: the first as
// library 1, the second as library 2, then compared (only when library 1 was
// read). The status line names the files that were ignored.
void OpenStartFiles(CLibCompareDlg& dialog, const QStringList& files,
                    const QStringList& ignored = {});
