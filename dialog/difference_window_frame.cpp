// The window "Unterschiede" as a window: where it first opens and keeps its
// place, how its table's columns share the width, and Escape.

#include <QEvent>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <algorithm>

#include "dialog/difference_window.h"

QString DifferenceWindow::GeometryKey() {
    return QStringLiteral("Unterschiede/Fenster/Geometrie");
}

DifferenceWindow::~DifferenceWindow() {
    if (isVisible()) QSettings().setValue(GeometryKey(), saveGeometry());
}

void DifferenceWindow::keyPressEvent(QKeyEvent* event) {
    // Escape empties the search first, as in the dialog; then closes. As a
    // key left over by the control that has the focus, not a shortcut: an
    // open drop-down takes its Escape itself, and closes just itself.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (!search_->text().isEmpty())
            search_->clear();
        else
            close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DifferenceWindow::showEvent(QShowEvent* event) {
    // The first time, over the dialog it belongs to rather than wherever
    // the system puts a new window; then where the user left it. A window
    // not shown yet may not know its frame: it gets the dialog's.
    if (!placed_ && parentWidget()) {
        placed_ = true;
        const QWidget* dialog = parentWidget()->window();
        const QRect over = dialog->frameGeometry();
        const QRect inside = dialog->geometry();
        QRect frame({}, size().grownBy(QMargins(
                            inside.left() - over.left(), inside.top() - over.top(),
                            over.right() - inside.right(), over.bottom() - inside.bottom())));
        frame.moveCenter(over.center());
        if (const QScreen* screen = dialog->screen()) {
            const QRect room = screen->availableGeometry();
            frame.moveLeft(
                std::max(room.left(), std::min(frame.left(), room.right() + 1 - frame.width())));
            frame.moveTop(
                std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - frame.height())));
        }
        move(frame.topLeft());  // a window's position is its frame's
    }
    QWidget::showEvent(event);
}

bool DifferenceWindow::eventFilter(QObject* watched, QEvent* event) {
    // The table's room changes with the window, and with its scroll bar
    // coming and going as rows are filtered.
    if (watched == table_->viewport() && event->type() == QEvent::Resize) FitValueColumns();
    return QWidget::eventFilter(watched, event);
}

void DifferenceWindow::FitValueColumns() {
    // The two values share what the other columns leave of the table's
    // width, each at least as wide as at first; until the user sets one's
    // width by hand.
    if (valuesSizedByHand_) return;
    QHeaderView* header = table_->horizontalHeader();
    int others = 0;
    for (int column = 0; column < DifferenceModel::kColumnCount; ++column)
        if (column != DifferenceModel::kValue1Column && column != DifferenceModel::kValue2Column)
            others += header->sectionSize(column);
    const int least = kValueEms * fontMetrics().averageCharWidth();
    const int room = table_->viewport()->width() - others;
    const int first = std::max(least, room / 2);
    fitting_ = true;
    header->resizeSection(DifferenceModel::kValue1Column, first);
    header->resizeSection(DifferenceModel::kValue2Column, std::max(least, room - first));
    fitting_ = false;
}

void DifferenceWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) QSettings().setValue(GeometryKey(), saveGeometry());
    QWidget::hideEvent(event);
}
