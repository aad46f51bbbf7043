#include "dialog/status_lines.h"

#include <QLabel>
#include <QWidget>

#include "dialog/dialog_template.h"
#include "dialog/template_layout.h"

namespace {

QLabel* CreateLine(QWidget* dialog, const char* name, QRect at, Qt::TextFormat format,
                   TemplateLayout& layout) {
    auto* line = new QLabel(dialog);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(at);
    line->setTextFormat(format);
    layout.Place(line, at, TemplateLayout::Stretch::kStrip, dialog->font());
    return line;
}

}  // namespace

StatusLines::StatusLines(QWidget* dialog, const DialogUnits& units, TemplateLayout& layout,
                         std::function<QString()> filtered)
    : status_(CreateLine(dialog, "statusLine", units.Rect(7, 367, 600, 10), Qt::PlainText, layout)),
      change_(CreateLine(dialog, "changeLine", units.Rect(7, 377, 600, 10), Qt::RichText, layout)),
      filtered_(std::move(filtered)) {}

void StatusLines::SetStatus(const QString& text) {
    counts_ = text;
    note_.clear();
    Refresh();
}

void StatusLines::SetNote(const QString& note) {
    note_ = note;
    Refresh();
}

bool StatusLines::ClearNote() {
    if (note_.isEmpty()) return false;
    note_.clear();
    Refresh();
    return true;
}

void StatusLines::Refresh() {
    QString whole = filtered_();
    if (whole.isEmpty()) whole = counts_;
    if (!note_.isEmpty()) whole = note_ + QStringLiteral(" · ") + whole;
    const QString shown =
        status_->fontMetrics().elidedText(whole, Qt::ElideRight, status_->width());
    status_->setText(shown);
    status_->setToolTip(shown == whole ? QString() : whole);
    // A new name is announced as a change.
    status_->setAccessibleName(whole);
}

QString StatusLines::Text() const {
    return status_->accessibleName();
}

void StatusLines::ShowChange(const LinePieces& pieces, const QString& spoken) {
    pieces_ = pieces;
    change_->setToolTip(pieces_.isEmpty() ? QString() : RichText(pieces_, change_->font()));
    change_->setAccessibleName(spoken);
    change_->setAccessibleDescription(spoken);
    Fit();
}

void StatusLines::Fit() {
    change_->setText(pieces_.isEmpty() ? QString()
                                       : RichText(pieces_, change_->font(), change_->width()));
    Refresh();
}
