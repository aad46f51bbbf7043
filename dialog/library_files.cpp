#include "dialog/library_files.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMimeData>
#include <QUrl>

#include "dialog/library_settings.h"

QString ChooseLibraryFile(QWidget* parent) {
    QFileDialog chooser(parent);
#if !defined(_WIN32)
    // Qt's own chooser, the same on every desktop. Windows has its native one
    // (platforms without one, like the tests' offscreen platform, get Qt's).
    chooser.setOption(QFileDialog::DontUseNativeDialog);
#endif
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setNameFilters(
        {QStringLiteral("Symboldatei (*.1)"), QStringLiteral("All Files (*.*)")});
    chooser.selectNameFilter(QStringLiteral("Symboldatei (*.1)"));
    chooser.setDefaultSuffix(QStringLiteral("txt"));
    if (const QString folder = LastLibraryFolder(); !folder.isEmpty()) chooser.setDirectory(folder);
    chooser.selectFile(QStringLiteral("*.1"));
    // "*.*" would hide the files without a dot where the platform takes the
    // pattern literally: "All Files" lists every file.
    QObject::connect(&chooser, &QFileDialog::filterSelected, &chooser,
                     [&chooser](const QString& filter) {
                         if (!filter.startsWith(QStringLiteral("All Files"))) return;
                         if (auto* files = chooser.findChild<QFileSystemModel*>())
                             files->setNameFilters({QStringLiteral("*")});
                     });
    const int answer = chooser.exec();
    if (answer != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return {};
    return chooser.selectedFiles().constFirst();
}

QString ChooseSaveFile(QWidget* parent, const QString& proposed) {
    QFileDialog chooser(parent);
#if !defined(_WIN32)
    chooser.setOption(QFileDialog::DontUseNativeDialog);
#endif
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setNameFilters(
        {QStringLiteral("Symboldatei (*.1)"), QStringLiteral("All Files (*.*)")});
    chooser.setDefaultSuffix(QStringLiteral("1"));
    chooser.selectFile(proposed);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return {};
    return chooser.selectedFiles().constFirst();
}

QStringList DroppedLibraries(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty()) return {};
        files << url.toLocalFile();
    }
    return files.size() <= 2 ? files : QStringList();
}

DropTarget DropTargetOf(const QStringList& files, int column) {
    if (files.size() == 2) return DropTarget::kBoth;
    if (files.size() != 1) return DropTarget::kNone;
    return column == 1   ? DropTarget::kLibrary1
           : column == 2 ? DropTarget::kLibrary2
                         : DropTarget::kNone;
}
