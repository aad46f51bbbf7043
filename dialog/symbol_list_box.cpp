#include "dialog/symbol_list_box.h"

#include <QItemSelectionModel>

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
    if (row < 0) return -1;
    selectingQuietly_ = true;
    const QModelIndex index = model_->index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
    selectingQuietly_ = false;
    return row;
}

void SymbolListBox::SelectRowAsUser(int row) {
    const QModelIndex index = model_->index(row);
    if (!index.isValid()) return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}
