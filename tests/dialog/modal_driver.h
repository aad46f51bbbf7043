#pragma once

// Answers the modal windows a command opens (the file chooser, a message box)
// from a timer, as a user would, so that tests and benchmarks can drive the
// real dialog. A safety limit rejects any window left open, so nothing hangs.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <vector>

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

}  // namespace modal
