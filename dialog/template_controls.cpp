#include "dialog/template_controls.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "dialog/dialog_template.h"
#include "dialog/resource.h"
#include "dialog/symbol_list_box.h"
#include "dialog/template_layout.h"
#include "report/messages.h"

namespace {

QPushButton* CreateButton(QDialog* dialog, const ControlTemplate& t, const QString& caption,
                          QRect rect) {
    auto* button = new QPushButton(caption, dialog);
    button->setAutoDefault(true);
    button->setDefault(t.kind == ControlKind::DefaultButton);
    button->setGeometry(rect);
    FitCaption(button);
    return button;
}

}  // namespace

void FitCaption(QPushButton* button) {
    const int room = button->width() - 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin);
    QFont fitted = button->font();
    while (QFontMetrics(fitted).horizontalAdvance(button->text()) > room && fitted.pointSizeF() > 5)
        fitted.setPointSizeF(fitted.pointSizeF() - 0.5);
    if (fitted != button->font()) button->setFont(fitted);
}

std::map<int, QWidget*> CreateTemplateControls(QDialog* dialog, TemplateLayout& layout) {
    const DialogTemplate& form = LibCompareDialogTemplate();
    dialog->setWindowTitle(QString::fromUtf8(form.caption));
    QFont font(QString::fromLatin1(form.fontFamily), form.fontPointSize);
    font.setWeight(QFont::Normal);
    dialog->setFont(font);
    const DialogUnits units(font);
    const QFontMetrics metrics(font);

    std::map<int, QWidget*> controls;
    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& t : form.controls) {
        const QString caption = QString::fromUtf8(t.caption);
        QWidget* control = nullptr;
        QRect rect = units.Rect(t.x, t.y, t.width, t.height);
        switch (t.kind) {
            case ControlKind::DefaultButton:
            case ControlKind::Button:
                control = CreateButton(dialog, t, caption, rect);
                break;
            case ControlKind::GroupBox:
                control = new QGroupBox(caption, dialog);
                break;
            case ControlKind::ListBox:
                control = new SymbolListBox(dialog);
                control->setToolTip(QString::fromUtf8(DialogText().listTip));
                break;
            case ControlKind::Edit:
            case ControlKind::UpperCaseEdit: {
                auto* edit = new QLineEdit(dialog);
                edit->setReadOnly(true);
                edit->setProperty("upperCase", t.kind == ControlKind::UpperCaseEdit);
                control = edit;
                break;
            }
            case ControlKind::Label: {
                auto* label = new QLabel(caption, dialog);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                // Where this font is wider than the template's, let the text
                // run on rather than cut it off.
                rect.setWidth(std::max(rect.width(), metrics.horizontalAdvance(caption) + 2));
                control = label;
                break;
            }
        }
        control->setObjectName(QString::fromLatin1(t.objectName));
        control->setProperty("controlId", t.id);
        control->setAccessibleName(t.accessibleName ? QString::fromUtf8(t.accessibleName)
                                                    : caption);
        control->setGeometry(rect);
        const bool listCaption =
            t.kind == ControlKind::Label && caption.contains(QStringLiteral("Symbole"));
        using Stretch = TemplateLayout::Stretch;
        layout.Place(control, rect,
                     t.kind == ControlKind::DefaultButton           ? Stretch::kCorner
                     : t.kind == ControlKind::Button || listCaption ? Stretch::kCentre
                     : t.kind == ControlKind::Label                 ? Stretch::kLeft
                                                                    : Stretch::kGrow,
                     font);
        if (t.id != IDC_STATIC) controls[t.id] = control;
        if (control->focusPolicy() != Qt::NoFocus) {
            if (previousTabStop) QWidget::setTabOrder(previousTabStop, control);
            previousTabStop = control;
        }
    }
    layout.SetDefaultSize(units.Size(form.width, form.height));
    dialog->resize(layout.DefaultSize());
    dialog->setSizeGripEnabled(false);
    return controls;
}
