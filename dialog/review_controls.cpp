#include "dialog/review_controls.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QWidget>

#include "dialog/dialog_template.h"
#include "dialog/symbol_list_model.h"
#include "dialog/template_controls.h"
#include "dialog/template_layout.h"
#include "library/text.h"
#include "report/messages.h"

namespace {

QString Words(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

ReviewControls::ReviewControls(QWidget* dialog, const DialogUnits& units, TemplateLayout& layout)
    : QObject(dialog) {
    const DialogWords& words = DialogText();
    search_ = new QLineEdit(dialog);
    search_->setObjectName(QStringLiteral("search"));
    search_->setAccessibleName(Words(words.searchName));
    search_->setPlaceholderText(Words(words.searchPlaceholder));
    search_->setClearButtonEnabled(true);
    search_->setToolTip(Words(words.searchTip));
    search_->setGeometry(units.Rect(240, 14, 124, 13));
    search_->installEventFilter(this);
    layout.Place(search_, search_->geometry(), TemplateLayout::Stretch::kGrow, dialog->font());

    differences_ = new QPushButton(Words(words.differences), dialog);
    differences_->setObjectName(QStringLiteral("differences"));
    differences_->setToolTip(Words(words.differencesTip));
    differences_->setAutoDefault(false);
    differences_->setGeometry(units.Rect(368, 13, 64, 15));
    FitCaption(differences_);
    layout.Place(differences_, differences_->geometry(), TemplateLayout::Stretch::kRight,
                 dialog->font());

    onlyChanged_ = new QCheckBox(Words(words.onlyChanged), dialog);
    onlyChanged_->setObjectName(QStringLiteral("onlyChanged"));
    onlyChanged_->setToolTip(Words(words.onlyChangedTip));
    onlyChanged_->setGeometry(units.Rect(240, 32, 100, 12));
    layout.Place(onlyChanged_, onlyChanged_->geometry(), TemplateLayout::Stretch::kLeft,
                 dialog->font());

    const auto stepButton = [&](const char* name, const QString& sign, const char* accessible,
                                Qt::Key key, int x) {
        auto* button = new QToolButton(dialog);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(sign);
        button->setAccessibleName(Words(accessible));
        button->setToolTip(
            QString::fromStdString(WithKey(accessible, key == Qt::Key_Down ? "Alt+↓" : "Alt+↑")));
        // The key steps at once, from wherever the focus is.
        connect(new QShortcut(QKeySequence(Qt::ALT | key), dialog), &QShortcut::activated, button,
                &QToolButton::click);
        button->setGeometry(units.Rect(x, 31, 20, 14));
        layout.Place(button, button->geometry(), TemplateLayout::Stretch::kRight, dialog->font());
        return button;
    };
    previous_ =
        stepButton("previousChange", QStringLiteral("▲"), words.previousChange, Qt::Key_Up, 388);
    next_ = stepButton("nextChange", QStringLiteral("▼"), words.nextChange, Qt::Key_Down, 412);

    connect(search_, &QLineEdit::textChanged, this, &ReviewControls::filterChanged);
    connect(onlyChanged_, &QCheckBox::toggled, this, &ReviewControls::filterChanged);
    connect(next_, &QToolButton::clicked, this, [this] { emit step(+1); });
    connect(previous_, &QToolButton::clicked, this, [this] { emit step(-1); });
}

void ReviewControls::FollowInTabOrder(QWidget* commonList) {
    // Search, filter, steps; then what followed the list before.
    QWidget* after = commonList->nextInFocusChain();
    QWidget::setTabOrder(commonList, search_);
    QWidget::setTabOrder(search_, differences_);
    QWidget::setTabOrder(differences_, onlyChanged_);
    QWidget::setTabOrder(onlyChanged_, previous_);
    QWidget::setTabOrder(previous_, next_);
    QWidget::setTabOrder(next_, after);
}

void ReviewControls::Find() {
    search_->setFocus(Qt::ShortcutFocusReason);
    search_->selectAll();
}

bool ReviewControls::Filtering() const {
    return !search_->text().isEmpty() || onlyChanged_->isChecked();
}

bool ReviewControls::OnlyChanged() const {
    return onlyChanged_->isChecked();
}

std::string ReviewControls::SearchBytes() const {
    return ToWindows1252(search_->text());
}

bool ReviewControls::eventFilter(QObject* watched, QEvent* event) {
    if (watched != search_ || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Escape in the search field empties it; anywhere else it closes the
    // dialog, as always.
    if (key->key() == Qt::Key_Escape && !search_->text().isEmpty()) {
        search_->clear();
        return true;
    }
    // Enter goes to the first entry found, never to the default button.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (!key->isAutoRepeat()) emit enterInSearch();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

ChangeStepper::Step ChangeStepper::Go(const SymbolListModel& common, int current, int direction) {
    const int count = common.SignedRowCount();
    if (count == 0) return {-1, NoChangeShown()};
    const auto first = [&] {
        return direction > 0 ? common.NextSignedRow(-1) : common.PreviousSignedRow(common.Count());
    };
    int row = -1;
    if (current >= 0)
        row = direction > 0 ? common.NextSignedRow(current) : common.PreviousSignedRow(current);
    else if (anchor_ >= 0)
        // Nothing selected since the filter hid it: on from where it stood.
        row = direction > 0 ? common.NextSignedRow(common.ShownRowFrom(anchor_ + 1) - 1)
                            : common.PreviousSignedRow(common.ShownRowFrom(anchor_));
    else
        row = first();
    if (row < 0) {
        // Past the last (or first) change: said once, and the next press
        // starts again at the other end.
        if (pendingWrap_ != direction) {
            pendingWrap_ = direction;
            return {-1, StepAtEnd(direction > 0)};
        }
        row = first();
    }
    pendingWrap_ = 0;
    return {row, StepPosition(common.SignedRowIndex(row) + 1, count)};
}
