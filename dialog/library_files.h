#pragma once

#include <QString>
#include <QStringList>

class QMimeData;
class QWidget;

// Where library files come from besides the command line: the file chooser
// of the two load buttons, and files dropped onto the window.

// Asks for a library file; empty when the user cancels.
QString ChooseLibraryFile(QWidget* parent);
// Asks where to save a library, proposing `proposed`; empty when the user
// cancels.
QString ChooseSaveFile(QWidget* parent, const QString& proposed);

// The local files among dropped data: one or two, or none at all when
// anything else is among it.
QStringList DroppedLibraries(const QMimeData* data);

// What dropped files load: two files both libraries (in their order), one
// file the library of the column it is dropped on (1 or 2; 0, the common
// column, takes none).
enum class DropTarget { kNone, kBoth, kLibrary1, kLibrary2 };
DropTarget DropTargetOf(const QStringList& files, int column);
