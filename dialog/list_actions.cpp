#include "dialog/list_actions.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "report/messages.h"

namespace {

QAction* AddAction(SymbolListBox* list, const QString& text, const QKeySequence& keys) {
    auto* action = new QAction(text, list);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    list->addAction(action);
    return action;
}

}  // namespace

void AddListActions(SymbolListBox* list, const QList<QAction*>& dialogActions) {
    QObject::connect(
        AddAction(list, QString::fromUtf8(DialogText().copy), QKeySequence::Copy),
        &QAction::triggered, list, [list] {
            const int row = list->CurrentSelection();
            if (row >= 0)
                QGuiApplication::clipboard()->setText(FromWindows1252(list->Model().Bytes(row)));
        });
    QObject::connect(AddAction(list, QString::fromUtf8(DialogText().copyAllNames),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)),
                     &QAction::triggered, list, [list] {
                         QStringList names;
                         names.reserve(list->Model().Count());
                         for (int row = 0; row < list->Model().Count(); ++row)
                             names << FromWindows1252(list->Model().Bytes(row));
                         QGuiApplication::clipboard()->setText(names.join(u'\n'));
                     });
    list->addActions(dialogActions);

    // One menu, made once and kept: a menu made anew at each opening leaves
    // screen readers holding the one that was deleted, and they go silent.
    auto* menu = new QMenu(list);
    menu->setObjectName(QStringLiteral("contextMenu"));
    menu->addActions(list->actions());
    menu->setToolTipsVisible(true);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, menu,
                     [list, menu](QPoint at) { menu->exec(list->viewport()->mapToGlobal(at)); });
}
