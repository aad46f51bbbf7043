#pragma once

#include <QList>

class QAction;
class SymbolListBox;

// Gives `list` a context menu, made once, with the usual shortcuts (while the list has
// the focus): copy the selected name (Strg+C), copy all names of the list,
// one per line in its order (Strg+Umschalt+C), and the dialog's own
// `dialogActions` (such as the export, Strg+E wherever the focus is in the
// dialog). A disabled entry shows its tooltip, which says why.
void AddListActions(SymbolListBox* list, const QList<QAction*>& dialogActions);
