#include "dialog/symbol_list_model.h"

#include <QMetaObject>
#include <algorithm>
#include <iterator>

#include "library/text.h"

SymbolListModel::SymbolListModel(QObject* parent) : QAbstractListModel(parent) {
    starts_.push_back(0);
}

void SymbolListModel::Empty() {
    beginResetModel();
    arena_.clear();
    starts_.assign(1, 0);
    order_.clear();
    pending_.clear();
    endResetModel();
}

void SymbolListModel::Add(std::string_view name) {
    arena_.append(name);
    pending_.push_back(static_cast<std::uint32_t>(starts_.size() - 1));
    starts_.push_back(arena_.size());
    ScheduleFlush();
}

void SymbolListModel::ScheduleFlush() {
    if (flushScheduled_) return;
    flushScheduled_ = true;
    QMetaObject::invokeMethod(this, &SymbolListModel::Flush, Qt::QueuedConnection);
}

std::string_view SymbolListModel::NameAt(std::uint32_t id) const {
    return std::string_view(arena_.data(), arena_.size())
        .substr(starts_[id], starts_[id + 1] - starts_[id]);
}

void SymbolListModel::Flush() {
    flushScheduled_ = false;
    if (pending_.empty()) return;
    auto less = [this](std::uint32_t a, std::uint32_t b) {
        const int c = CompareForDisplay(NameAt(a), NameAt(b));
        return c != 0 ? c < 0 : a < b;
    };
    {
        // Sort by precomputed first-level keys, compared as plain bytes; only
        // names equal at that level need the full comparison.
        struct Item {
            std::string_view key;
            std::uint32_t id;
        };
        LargeString keys;
        keys.reserve(arena_.size() - starts_[pending_.front()]);
        LargeVector<std::size_t> keyStarts;
        keyStarts.reserve(pending_.size() + 1);
        for (std::uint32_t id : pending_) {
            keyStarts.push_back(keys.size());
            AppendPrimarySortKey(NameAt(id), keys);
        }
        keyStarts.push_back(keys.size());
        LargeVector<Item> items(pending_.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            items[i] = {std::string_view(keys.data(), keys.size())
                            .substr(keyStarts[i], keyStarts[i + 1] - keyStarts[i]),
                        pending_[i]};
        std::sort(items.begin(), items.end(), [&less](const Item& a, const Item& b) {
            const int c = a.key.compare(b.key);
            return c != 0 ? c < 0 : less(a.id, b.id);
        });
        for (std::size_t i = 0; i < items.size(); ++i) pending_[i] = items[i].id;
    }
    beginResetModel();
    if (order_.empty()) {
        order_.swap(pending_);
    } else {
        const auto middle = static_cast<std::ptrdiff_t>(order_.size());
        order_.insert(order_.end(), pending_.begin(), pending_.end());
        std::inplace_merge(order_.begin(), order_.begin() + middle, order_.end(), less);
    }
    pending_.clear();
    endResetModel();
}

int SymbolListModel::Count() {
    Flush();
    return static_cast<int>(order_.size());
}

std::string_view SymbolListModel::Bytes(int row) {
    Flush();
    if (row < 0 || row >= static_cast<int>(order_.size())) return {};
    return NameAt(order_[static_cast<std::size_t>(row)]);
}

int SymbolListModel::FindPrefix(std::string_view prefix) {
    Flush();
    if (prefix.empty()) return -1;
    for (std::size_t row = 0; row < order_.size(); ++row)
        if (StartsWithIgnoringCase(NameAt(order_[row]), prefix)) return static_cast<int>(row);
    return -1;
}

int SymbolListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

QVariant SymbolListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    if (!index.isValid() || index.row() >= static_cast<int>(order_.size())) return {};
    const std::string_view bytes = NameAt(order_[static_cast<std::size_t>(index.row())]);
    return QString(decoder_(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()))));
}
