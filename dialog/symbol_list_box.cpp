#include "dialog/symbol_list_box.h"

#include <QAccessible>
#include <QItemSelectionModel>
#include <QKeyEvent>

#include "dialog/symbol_list_model.h"

SymbolListBox::SymbolListBox(QWidget* parent)
    : QListView(parent), model_(new SymbolListModel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextElideMode(Qt::ElideNone);
    connect(model_, &SymbolListModel::signChanged, this, [this](int row) {
        const QModelIndex changed = model_->index(row);
        update(changed);
        // A screen reader hears that the row's description changed.
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        event.setChild(row);
        QAccessible::updateAccessibility(&event);
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!selectingQuietly_ && CurrentSelection() >= 0) emit selectionChangedByUser();
    });
}

int SymbolListBox::CurrentSelection() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

std::string_view SymbolListBox::Text(int row) const {
    return model_->Bytes(row);
}

int SymbolListBox::SelectFirstBeginningWith(std::string_view prefix) {
    const int row = model_->FindPrefix(prefix);
    if (row >= 0) SelectQuietly(row);
    return row;
}

int SymbolListBox::Reselect(std::string_view text) {
    const int selected = CurrentSelection();
    if (selected >= 0 && Text(selected) == text) return selected;
    const int exact = model_->FindExact(text);
    if (exact < 0) return SelectFirstBeginningWith(text);
    SelectQuietly(exact);
    return exact;
}

void SymbolListBox::SelectQuietly(int row) {
    const QModelIndex index = model_->index(row);
    if (!index.isValid()) return;
    selectingQuietly_ = true;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
    selectingQuietly_ = false;
}

void SymbolListBox::keyPressEvent(QKeyEvent* event) {
    // Tabbing into a list makes its first row current without selecting it:
    // the first Down then selects that row rather than the one below it.
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier && current.isValid() &&
        CurrentSelection() < 0) {
        SelectRowAsUser(current.row());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void SymbolListBox::SelectRowAsUser(int row) {
    const QModelIndex index = model_->index(row);
    if (!index.isValid()) return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}
