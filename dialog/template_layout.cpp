#include "dialog/template_layout.h"

#include <QGroupBox>
#include <algorithm>

#include "dialog/dialog_template.h"
#include "dialog/symbol_list_box.h"

void TemplateLayout::Place(QWidget* control, QRect base, Stretch horizontal, const QFont& font) {
    const DialogUnits units(font);
    const int centre = base.center().x();
    const int column = centre < units.X(234) ? 0 : centre < units.X(438) ? 1 : 2;
    const bool grows = qobject_cast<SymbolListBox*>(control) || qobject_cast<QGroupBox*>(control);
    const bool below = !grows && base.top() >= units.Y(282);
    placements_.push_back({control, base, column, horizontal, grows, below});
}

void TemplateLayout::Apply(QSize size) const {
    const int dx = size.width() - defaultSize_.width();
    const int dy = size.height() - defaultSize_.height();
    const int share = dx / 3;
    const int grow[3] = {share, share, dx - 2 * share};
    const int offset[3] = {0, share, 2 * share};
    for (const Placement& p : placements_) {
        QRect r = p.base;
        const int c = p.column;
        switch (p.horizontal) {
            case Stretch::kGrow:
                r.translate(offset[c], 0);
                r.setWidth(r.width() + grow[c]);
                break;
            case Stretch::kCentre:
                r.translate(offset[c] + grow[c] / 2, 0);
                break;
            case Stretch::kLeft:
                r.translate(offset[c], 0);
                break;
            case Stretch::kRight:
                r.translate(offset[c] + grow[c], 0);
                break;
            case Stretch::kCorner:
                r.translate(dx, 0);
                break;
            case Stretch::kStrip:
                r.setWidth(r.width() + dx);
                break;
        }
        if (p.growsDown)
            r.setHeight(r.height() + dy);
        else if (p.below || p.horizontal == Stretch::kCorner || p.horizontal == Stretch::kStrip)
            r.translate(0, dy);
        p.control->setGeometry(r);
    }
}

QSize TemplateLayout::Minimum(const QFont& font, int rowHeight, int listFrame) const {
    const DialogUnits units(font);
    const int list = 5 * rowHeight + 2 * listFrame + 4;
    int shortest = defaultSize_.height();
    for (const Placement& p : placements_)
        if (qobject_cast<SymbolListBox*>(p.control)) shortest = std::min(shortest, p.base.height());
    const int dy = std::min(0, list - shortest);
    const int dx = -3 * (units.X(124) * 45 / 100);
    return defaultSize_ + QSize(dx, dy);
}

int TemplateLayout::ColumnAt(QPoint at) const {
    for (const Placement& p : placements_)
        if (auto* frame = qobject_cast<QGroupBox*>(p.control); frame && frame->title().isEmpty()) {
            if (at.x() < frame->geometry().left()) return 1;
            if (at.x() > frame->geometry().right()) return 2;
            return 0;
        }
    return 0;
}
