#include "dialog/symbol_list_model.h"

#include <algorithm>

#include "library/text.h"

QString FromWindows1252(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    Windows1252ToUtf16(bytes, reinterpret_cast<char16_t*>(text.data()));
    return text;
}

SymbolListModel::SymbolListModel(QObject* parent) : QAbstractListModel(parent) {
    starts_.push_back(0);
}

void SymbolListModel::Empty() {
    beginResetModel();
    // Swapped with empty ones, so that a big list's memory goes back at once.
    std::string().swap(arena_);
    std::vector<std::size_t>{0}.swap(starts_);
    std::vector<std::uint32_t>().swap(order_);
    std::vector<std::uint32_t>().swap(pending_);
    endResetModel();
}

void SymbolListModel::Add(std::string_view name) {
    const std::size_t names = starts_.size() - 1;
    if (names > 0 && NameAt(static_cast<std::uint32_t>(names - 1)) == name) {
        pending_.push_back(static_cast<std::uint32_t>(names - 1));
        return;
    }
    arena_.append(name);
    starts_.push_back(arena_.size());
    pending_.push_back(static_cast<std::uint32_t>(names));
}

std::string_view SymbolListModel::NameAt(std::uint32_t id) const {
    return std::string_view(arena_).substr(starts_[id], starts_[id + 1] - starts_[id]);
}

void SymbolListModel::Flush() {
    if (pending_.empty()) return;
    beginResetModel();
    // How often each name is listed; then each name sorted once, by its key.
    std::vector<std::uint32_t> times(starts_.size() - 1, 0);
    for (std::uint32_t id : order_) ++times[id];
    for (std::uint32_t id : pending_) ++times[id];
    std::vector<std::uint32_t> ids;
    for (std::uint32_t id = 0; id < times.size(); ++id)
        if (times[id] != 0) ids.push_back(id);
    SortForDisplay(ids, [this](std::uint32_t id) { return NameAt(id); });

    const std::size_t rows = order_.size() + pending_.size();
    order_.clear();
    order_.reserve(rows);
    for (std::uint32_t id : ids) order_.insert(order_.end(), times[id], id);
    std::vector<std::uint32_t>().swap(pending_);
    endResetModel();
}

std::string_view SymbolListModel::Bytes(int row) const {
    if (row < 0 || row >= Count()) return {};
    return NameAt(order_[static_cast<std::size_t>(row)]);
}

int SymbolListModel::FindPrefix(std::string_view prefix) const {
    if (prefix.empty()) return -1;
    for (std::size_t row = 0; row < order_.size(); ++row)
        if (StartsWithIgnoringCase(NameAt(order_[row]), prefix)) return static_cast<int>(row);
    return -1;
}

int SymbolListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant SymbolListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    if (!index.isValid() || index.row() >= Count()) return {};
    return FromWindows1252(NameAt(order_[static_cast<std::size_t>(index.row())]));
}
