#include "dialog/field_text.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

void CentreTextByLineHeight(QLineEdit* edit) {
    // The room the style leaves for text, as the field paints it.
    QStyleOptionFrame frame;
    frame.initFrom(edit);
    frame.rect = edit->rect();
    frame.lineWidth = edit->hasFrame()
                          ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit)
                          : 0;
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    if (edit->isReadOnly()) frame.state |= QStyle::State_ReadOnly;
    frame.features = QStyleOptionFrame::None;
    const QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &frame, edit);
    const int top = std::max(0, (room.height() - edit->fontMetrics().height() + 1) / 2);
    edit->setAlignment((edit->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
    const QMargins margins = edit->textMargins();
    edit->setTextMargins(margins.left(), top, margins.right(), 0);
}
