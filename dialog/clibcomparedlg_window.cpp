// The dialog as a window: its size and place on the screen, and the files
// dropped onto it.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QScreen>
#include <QStyle>

#include "dialog/clibcomparedlg.h"
#include "dialog/difference_window.h"
#include "dialog/library_files.h"
#include "dialog/library_settings.h"
#include "dialog/resource.h"
#include "dialog/screen_fit.h"

void CLibCompareDlg::LayOut() {
    m_layout.Apply(size());
    // The lines under the lists and the fields' tooltips fit the new width.
    m_status->Fit();
    RefreshFieldTips();
}

QSize CLibCompareDlg::MinimumDialogSize() const {
    return m_layout.Minimum(font(), QFontMetrics(font()).height() + 2,
                            static_cast<QFrame*>(Control(IDC_COMMON_LIST))->frameWidth());
}

void CLibCompareDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
}

void CLibCompareDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_placedOnScreen) return;
    m_placedOnScreen = true;
    if (const QByteArray geometry = LastWindowGeometry(); !geometry.isEmpty())
        restoreGeometry(geometry);
    FitIntoScreen();
}

void CLibCompareDlg::FitIntoScreen() {
    const QScreen* shown = screen();
    if (!shown) return;
    // The window system's frame, or a title bar's height while it has none.
    QSize frame = frameGeometry().size() - size();
    if (frame.isEmpty()) frame = QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const ScreenFit fit = FitWindow(shown->availableGeometry(), frameGeometry(), size(), frame,
                                    minimumSize(), shown->devicePixelRatio());
    if (fit.fits) return;
    resize(fit.size);
    move(fit.position);
}

void CLibCompareDlg::done(int result) {
    // Unsaved changes are never lost without a question.
    if (!AskToSave({1, 2})) return;
    RememberWindowGeometry(saveGeometry());
    // The table of differences goes with the dialog.
    if (m_differences) m_differences->close();
    QDialog::done(result);
}

void CLibCompareDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedLibraries(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CLibCompareDlg::dragMoveEvent(QDragMoveEvent* event) {
    const QStringList files = DroppedLibraries(event->mimeData());
    if (DropTargetOf(files, m_layout.ColumnAt(event->position().toPoint())) != DropTarget::kNone)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CLibCompareDlg::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedLibraries(event->mimeData());
    const DropTarget target = DropTargetOf(files, m_layout.ColumnAt(event->position().toPoint()));
    if (target == DropTarget::kNone) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (target == DropTarget::kBoth)
        OpenBothLibraries(files[0], files[1]);
    else if (target == DropTarget::kLibrary1)
        OpenLibrary1(files[0]);
    else
        OpenLibrary2AndCompare(files[0]);
}
