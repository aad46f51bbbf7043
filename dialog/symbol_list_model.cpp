#include "dialog/symbol_list_model.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
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
    marks_.clear();
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

void SymbolListModel::SetMarks(Mark mark,
                               const std::function<QString(std::string_view name)>& markOf) {
    mark_ = mark;
    marks_.clear();
    for (std::uint32_t id = 0; id + 1 < starts_.size(); ++id)
        if (QString note = markOf(NameAt(id)); !note.isEmpty()) marks_.emplace(id, std::move(note));
    if (Count() > 0)
        emit dataChanged(index(0), index(Count() - 1),
                         {Qt::DecorationRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

namespace {

// The signs beside marked names: a filled orange dot for a change, a blue
// ring for a hint; a blank of the same size beside the others, so that all
// names stay aligned.
QIcon Sign(const QPen& pen, const QBrush& brush) {
    QPixmap sign(10, 10);
    sign.fill(Qt::transparent);
    QPainter painter(&sign);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.setBrush(brush);
    if (pen.style() != Qt::NoPen || brush.style() != Qt::NoBrush)
        painter.drawEllipse(QRectF(1.5, 1.5, 7, 7));
    return QIcon(sign);
}

const QIcon& MarkIcon(bool marked, SymbolListModel::Mark mark) {
    static const QIcon blank = Sign(Qt::NoPen, Qt::NoBrush);
    static const QIcon changed = Sign(Qt::NoPen, QColor(0xE0, 0x7B, 0x00));
    static const QIcon hint = Sign(QPen(QColor(0x1F, 0x6F, 0xC5), 1.6), Qt::NoBrush);
    if (!marked) return blank;
    return mark == SymbolListModel::Mark::kChanged ? changed : hint;
}

}  // namespace

int SymbolListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant SymbolListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    const std::uint32_t id = order_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return FromWindows1252(NameAt(id));
        case Qt::DecorationRole:
            if (marks_.empty()) return {};
            return MarkIcon(marks_.contains(id), mark_);
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole: {
            const auto mark = marks_.find(id);
            return mark != marks_.end() ? QVariant(mark->second) : QVariant();
        }
        default:
            return {};
    }
}
