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

std::string ToWindows1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        int byte = unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF) ? unit : -1;
        for (int b = 0x80; byte < 0 && b < 0xA0; ++b)
            if (Windows1252CodePoint(static_cast<unsigned char>(b)) == unit) byte = b;
        bytes += byte >= 0 ? static_cast<char>(byte) : '\0';
    }
    return bytes;
}

SymbolListModel::SymbolListModel(QObject* parent) : QAbstractListModel(parent) {
    starts_.push_back(0);
}

void SymbolListModel::Empty() {
    beginResetModel();
    // Swapped with empty ones, so that a big list's memory goes back at once.
    std::string().swap(arena_);
    std::vector<std::size_t>{0}.swap(starts_);
    std::vector<std::uint32_t>().swap(adds_);
    std::vector<std::uint32_t>().swap(order_);
    std::unordered_map<std::uint32_t, RowMark>().swap(marks_);
    noteOf_ = nullptr;
    std::vector<std::uint32_t>().swap(visible_);
    signedRowsKnown_ = false;
    endResetModel();
}

void SymbolListModel::Add(std::string_view name) {
    const std::size_t names = starts_.size() - 1;
    if (names > 0 && NameAt(static_cast<std::uint32_t>(names - 1)) == name) {
        adds_.push_back(static_cast<std::uint32_t>(names - 1));
        return;
    }
    arena_.append(name);
    starts_.push_back(arena_.size());
    adds_.push_back(static_cast<std::uint32_t>(names));
}

std::string_view SymbolListModel::NameAt(std::uint32_t id) const {
    return std::string_view(arena_).substr(starts_[id], starts_[id + 1] - starts_[id]);
}

void SymbolListModel::Flush() {
    if (adds_.size() == order_.size()) return;
    beginResetModel();
    // Each name sorted once, by its key; then every addition put into the
    // place of its name, in the order of addition.
    std::vector<std::uint32_t> ids(starts_.size() - 1);
    for (std::uint32_t id = 0; id < ids.size(); ++id) ids[id] = id;
    SortForDisplay(ids, [this](std::uint32_t id) { return NameAt(id); });
    std::vector<std::uint32_t> place(ids.size() + 1, 0);  // name id -> first row
    for (std::uint32_t id : adds_) ++place[id + 1];
    std::vector<std::uint32_t> first(ids.size(), 0);
    std::uint32_t row = 0;
    for (std::uint32_t id : ids) {
        first[id] = row;
        row += place[id + 1];
    }
    std::vector<std::uint32_t>().swap(place);
    order_.assign(adds_.size(), 0);
    for (std::uint32_t source = 0; source < adds_.size(); ++source)
        order_[first[adds_[source]]++] = source;
    ApplyFilter();
    endResetModel();
}

std::string_view SymbolListModel::Bytes(int row) const {
    if (row < 0 || row >= Count()) return {};
    return NameAt(adds_[order_[Underlying(row)]]);
}

std::int64_t SymbolListModel::Source(int row) const {
    if (row < 0 || row >= Count()) return -1;
    return order_[Underlying(row)];
}

int SymbolListModel::FindPrefix(std::string_view prefix) const {
    if (prefix.empty()) return -1;
    for (int row = 0; row < Count(); ++row)
        if (StartsWithIgnoringCase(Bytes(row), prefix)) return row;
    return -1;
}

int SymbolListModel::FindExact(std::string_view text) const {
    // The rows are in display order, a total order on the bytes.
    int low = 0, high = Count();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (CompareForDisplay(Bytes(mid), text) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low < Count() && Bytes(low) == text ? low : -1;
}

int SymbolListModel::LastRowLike(int row) const {
    const std::string_view text = Bytes(row);
    int low = row, high = Count();  // the first row after the run lies in (row, high]
    while (low + 1 < high) {
        const int mid = low + (high - low) / 2;
        if (Bytes(mid) == text)
            low = mid;
        else
            high = mid;
    }
    return low;
}

int SymbolListModel::RowOfSource(std::int64_t source) const {
    if (source < 0 || static_cast<std::size_t>(source) >= order_.size()) return -1;
    const int first = FindExact(NameAt(adds_[static_cast<std::size_t>(source)]));
    if (first < 0) return -1;
    // The rows of one name stand in the order of their sources.
    int low = first, high = LastRowLike(first) + 1;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (Source(mid) < source)
            low = mid + 1;
        else
            high = mid;
    }
    return low < Count() && Source(low) == source ? low : -1;
}

void SymbolListModel::SetMarks(Mark mark, std::unordered_map<std::uint32_t, RowMark> marks) {
    mark_ = mark;
    marks_ = std::move(marks);
    if (onlySigned_) {  // the filter follows the signs, and finds their rows
        beginResetModel();
        ApplyFilter();
        endResetModel();
        return;
    }
    signedRowsKnown_ = false;
    SignedRows();
    if (Count() > 0) {
        emit dataChanged(index(0), index(Count() - 1),
                         {Qt::DecorationRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
    }
}

void SymbolListModel::SetSigned(std::uint32_t source, bool sign) {
    if (Signed(source) == sign) return;
    if (sign)
        marks_[source] = RowMark{true, {}};
    else
        marks_.erase(source);
    if (onlySigned_) {  // the row comes or goes
        beginResetModel();
        ApplyFilter();
        endResetModel();
        return;
    }
    const int row = RowOfSource(source);
    if (row < 0) return;
    if (signedRowsKnown_) {
        const auto at = std::lower_bound(signedRows_.begin(), signedRows_.end(), row);
        if (sign)
            signedRows_.insert(at, row);
        else if (at != signedRows_.end() && *at == row)
            signedRows_.erase(at);
    }
    // Not dataChanged: a list view lays out all its rows again on it.
    emit signChanged(row);
}

void SymbolListModel::SetNotes(std::function<QString(std::uint32_t source)> noteOf) {
    noteOf_ = std::move(noteOf);
    if (Count() > 0)
        emit dataChanged(index(0), index(Count() - 1),
                         {Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

bool SymbolListModel::Signed(std::uint32_t source) const {
    const auto mark = marks_.find(source);
    return mark != marks_.end() && mark->second.sign;
}

void SymbolListModel::SetFilter(std::string_view text, bool onlySigned) {
    beginResetModel();
    filterText_ = FoldForSearch(text);
    onlySigned_ = onlySigned;
    ApplyFilter();
    endResetModel();
}

void SymbolListModel::ApplyFilter() {
    signedRowsKnown_ = false;
    filtered_ = !filterText_.empty() || onlySigned_;
    std::vector<std::uint32_t>().swap(visible_);
    if (!filtered_) {
        SignedRows();
        return;
    }
    for (std::uint32_t row = 0; row < order_.size(); ++row) {
        const std::uint32_t source = order_[row];
        if (onlySigned_ && !Signed(source)) continue;
        if (!ContainsFolded(NameAt(adds_[source]), filterText_)) continue;
        visible_.push_back(row);
    }
    SignedRows();  // now, so that stepping from change to change never searches
}

const std::vector<int>& SymbolListModel::SignedRows() const {
    if (!signedRowsKnown_) {
        signedRows_.clear();
        if (!marks_.empty())
            for (int row = 0; row < Count(); ++row)
                if (Signed(order_[Underlying(row)])) signedRows_.push_back(row);
        signedRowsKnown_ = true;
    }
    return signedRows_;
}

int SymbolListModel::NextSignedRow(int row) const {
    const auto& rows = SignedRows();
    const auto next = std::upper_bound(rows.begin(), rows.end(), row);
    return next != rows.end() ? *next : -1;
}

int SymbolListModel::PreviousSignedRow(int row) const {
    const auto& rows = SignedRows();
    auto before = std::lower_bound(rows.begin(), rows.end(), row);
    return before != rows.begin() ? *--before : -1;
}

int SymbolListModel::SignedRowIndex(int row) const {
    const auto& rows = SignedRows();
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    return at != rows.end() && *at == row ? static_cast<int>(at - rows.begin()) : -1;
}

int SymbolListModel::AllRow(int row) const {
    if (row < 0 || row >= Count()) return -1;
    return static_cast<int>(Underlying(row));
}

int SymbolListModel::ShownRowFrom(int allRow) const {
    if (allRow <= 0) return 0;
    if (!filtered_) return std::min(allRow, Count());
    return static_cast<int>(
        std::lower_bound(visible_.begin(), visible_.end(), static_cast<std::uint32_t>(allRow)) -
        visible_.begin());
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
    const std::uint32_t source = order_[Underlying(index.row())];
    const auto mark = marks_.find(source);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return FromWindows1252(NameAt(adds_[source]));
        case Qt::DecorationRole:
            if (marks_.empty()) return {};
            return MarkIcon(mark != marks_.end() && mark->second.sign, mark_);
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole: {
            QString note = mark != marks_.end() ? mark->second.note : QString();
            if (note.isEmpty() && noteOf_) note = noteOf_(source);
            return note.isEmpty() ? QVariant() : QVariant(note);
        }
        default:
            return {};
    }
}
