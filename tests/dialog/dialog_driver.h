#pragma once

// Drives the real dialog as a user would, for tests, benchmarks and the
// screenshot: finds controls, reads and selects list rows, and answers the
// modal windows a command opens (the file chooser, a message box) from a
// timer. A safety limit rejects any window left open, so nothing hangs.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QWheelEvent>
#include <functional>
#include <memory>
#include <vector>

#include "dialog/clibcomparedlg.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "library/symbol_table.h"

// Settings of the tests' own, never the user's: Qt's test mode for the
// settings files, and an organisation of their own for Windows' registry.
// Each test program keeps its own (the application is named after it), so
// that programs run side by side do not share them.
inline void UseTestSettings() {
    QStandardPaths::setTestModeEnabled(true);
    // ctest may run one program as several tests at once: each test its own.
    const QString test = qEnvironmentVariable("LIBCOMPARE_TEST_SETTINGS");
    QCoreApplication::setOrganizationName(QStringLiteral("Bibliotheksvergleich-Tests") +
                                          (test.isEmpty() ? QString() : u'-' + test));
}

// Each test starts from the default size: the size and place a dialog of an
// earlier test left in the settings (test mode: not the user's) are forgotten.
inline void ForgetWindowGeometry() {
    QSettings().remove(QStringLiteral("Fenster"));
}

// The control with identifier `id` among the dialog's children.
template <typename T = QWidget>
T* ControlById(const QWidget& dialog, int id) {
    for (auto* child : dialog.findChildren<T*>())
        if (child->property("controlId").toInt() == id) return child;
    return nullptr;
}

// A tooltip as the reader sees it: its rich text as plain text.
inline QString PlainTip(const QWidget* widget) {
    return QTextDocumentFragment::fromHtml(widget->toolTip()).toPlainText();
}

// The rows of a list as shown.
inline QStringList Rows(SymbolListBox* list) {
    QStringList rows;
    for (int i = 0; i < list->Model().Count(); ++i)
        rows << list->Model().data(list->Model().index(i), Qt::DisplayRole).toString();
    return rows;
}

// Where row `row` of `list` shows, in the coordinates of its window; the row
// is scrolled into view first.
inline QPoint RowInWindow(SymbolListBox* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    return list->viewport()->mapTo(list->window(), list->visualRect(index).center());
}

// Clicks row `row` of `list` through the window, so that the window's own
// hit-testing decides which widget gets the click, as for a user.
inline void ClickRow(SymbolListBox* list, int row) {
    QTest::mouseClick(list->window()->windowHandle(), Qt::LeftButton, {}, RowInWindow(list, row));
}

// Turns the mouse wheel by `notches` (positive: down) over the centre of
// `widget`, through the window.
inline void TurnWheel(QWidget* widget, int notches) {
    QWidget* window = widget->window();
    const QPointF at = widget->mapTo(window, widget->rect().center());
    QWheelEvent wheel(at, window->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QGuiApplication::sendEvent(window->windowHandle(), &wheel);
}

// Selects the row showing `text` by clicking it; false if there is none.
inline bool SelectText(SymbolListBox* list, const QString& text) {
    const int row = Rows(list).indexOf(text);
    if (row >= 0) ClickRow(list, row);
    return row >= 0;
}

// The window system gives the dialog back the focus once a modal window
// closes; the offscreen platform leaves that to the test.
inline bool Activate(QWidget& dialog) {
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

// A dialog as at start-up, with empty tables, shown and active.
inline std::unique_ptr<CLibCompareDlg> FreshDialog() {
    lib1Count = lib2Count = commonCount = 0;
    ForgetWindowGeometry();
    auto dialog = std::make_unique<CLibCompareDlg>();
    dialog->show();
    Activate(*dialog);
    return dialog;
}

namespace modal {

// Answers one modal window; returns false if it is not the expected kind.
using Step = std::function<bool(QWidget*)>;

// Runs `command` and answers the modal windows it opens, one step each, in order.
// Returns how many steps were taken.
inline std::size_t Drive(const std::function<void()>& command, std::vector<Step> steps,
                         int safetyMs = 30000) {
    std::size_t next = 0;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (window && window->isVisible() && next < steps.size() && steps[next](window)) {
            ++next;
        } else if (clock.elapsed() > safetyMs) {
            if (auto* stuck = qobject_cast<QDialog*>(window)) stuck->reject();
        }
    });
    poll.start();
    command();
    poll.stop();
    return next;
}

// Types `path` into the file chooser's name field and confirms; then runs `after`.
inline Step Choose(const QString& path, std::function<void()> after = {}) {
    return [path, after](QWidget* window) {
        auto* chooser = qobject_cast<QFileDialog*>(window);
        if (!chooser) return false;
        chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(chooser)->accept();
        if (after) after();
        return true;
    };
}

inline Step Cancel() {
    return [](QWidget* window) {
        auto* chooser = qobject_cast<QFileDialog*>(window);
        if (!chooser) return false;
        chooser->reject();
        return true;
    };
}

// Closes a message box, keeping its text.
inline Step CloseMessage(QString* text) {
    return [text](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box) return false;
        if (text) *text = box->text();
        box->accept();
        return true;
    };
}

// Answers a question with `button`, keeping its text.
inline Step Answer(QMessageBox::StandardButton button, QString* text = nullptr) {
    return [button, text](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box || !box->button(button)) return false;
        if (text) *text = box->text();
        box->button(button)->click();
        return true;
    };
}

}  // namespace modal
