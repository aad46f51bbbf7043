#include "dialog/difference_model.h"

#include <QStringList>
#include <algorithm>
#include <bit>
#include <numeric>

#include "dialog/review_marks.h"
#include "library/text.h"

namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

std::string_view FieldOf(const SymbolEntry& entry, std::uint8_t field) {
    switch (field) {
        case kDesignationDiffers:
            return entry.designation;
        case kClassification1Differs:
            return entry.classification1;
        case kClassification2Differs:
            return entry.classification2;
    }
    return {};
}

int FieldIndex(std::uint8_t field) {
    return field == kDesignationDiffers ? 0 : field == kClassification1Differs ? 1 : 2;
}

// Where a row stands when sorted by the column "Feld": the designation, the
// whole record (which begins with it), then the classifications.
int FieldRank(const DifferenceModel::Row& row) {
    if (row.kind != DifferenceKind::kChanged) return 1;
    return row.field == kDesignationDiffers ? 0 : FieldIndex(row.field) + 1;
}

std::string FoldedWords(const std::string& utf8) {
    return FoldForSearch(ToWindows1252(QString::fromStdString(utf8)));
}

}  // namespace

DifferenceModel::DifferenceModel(QObject* parent) : QAbstractTableModel(parent) {}

Comparison DifferenceModel::ShownAsComparison() const {
    Comparison shown;
    if (!comparison_) return shown;
    shown.lib1 = comparison_->lib1;
    shown.lib2 = comparison_->lib2;
    shown.classificationsCompared = comparison_->classificationsCompared;
    std::vector<std::int32_t> pairs;
    for (const std::uint32_t all : shown_) {
        const Row& row = rows_[all];
        (row.kind == DifferenceKind::kChanged ? pairs
         : row.kind == DifferenceKind::kOnly1 ? shown.only1
                                              : shown.only2)
            .push_back(row.index);
    }
    for (std::vector<std::int32_t>* list : {&pairs, &shown.only1, &shown.only2}) {
        std::sort(list->begin(), list->end());
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    for (const std::int32_t pair : pairs) {
        shown.changed.push_back(static_cast<std::int32_t>(shown.pairs.size()));
        shown.pairs.push_back(comparison_->pairs[static_cast<std::size_t>(pair)]);
    }
    return shown;
}

void DifferenceModel::SetComparison(const Comparison* comparison) {
    beginResetModel();
    comparison_ = comparison;
    std::vector<Row>().swap(rows_);
    if (comparison) {
        const Comparison& c = *comparison;
        for (const std::int32_t pair : c.changed)
            for (const std::uint8_t field :
                 {kDesignationDiffers, kClassification1Differs, kClassification2Differs})
                if (c.pairs[static_cast<std::size_t>(pair)].differences & field)
                    rows_.push_back({pair, DifferenceKind::kChanged, field});
        for (const std::int32_t record : c.only1)
            rows_.push_back({record, DifferenceKind::kOnly1, 0});
        for (const std::int32_t record : c.only2)
            rows_.push_back({record, DifferenceKind::kOnly2, 0});
        // The lists' order of the names; a name's rows keep the order above.
        std::vector<std::uint32_t> ids(rows_.size());
        std::iota(ids.begin(), ids.end(), 0u);
        SortForDisplay(ids, [this](std::uint32_t id) { return Symbol(id); });
        std::vector<Row> sorted(rows_.size());
        for (std::size_t i = 0; i < ids.size(); ++i) sorted[i] = rows_[ids[i]];
        rows_.swap(sorted);
    }
    checked_.assign(rows_.size(), 0);
    checkedCount_ = 0;
    taken_ = 0;
    takenRows_.assign(rows_.size(), 0);
    // The changed fields' rows by pair, for following changes in place.
    rowsOfPairs_.clear();
    for (std::uint32_t all = 0; all < rows_.size(); ++all)
        if (rows_[all].kind == DifferenceKind::kChanged)
            rowsOfPairs_.emplace_back(rows_[all].index, all);
    std::sort(rowsOfPairs_.begin(), rowsOfPairs_.end());
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), 0u);
    orderAt_ = order_;
    Refilter(order_);
    endResetModel();
}

void DifferenceModel::CheckWhere(const std::function<bool(std::uint64_t mark)>& checked) {
    checkedCount_ = 0;
    for (std::uint32_t all = 0; all < rows_.size(); ++all) {
        checked_[all] = checked(MarkOf(all)) ? 1 : 0;
        if (!takenRows_[all]) checkedCount_ += checked_[all];
    }
    beginResetModel();
    Refilter(order_);
    endResetModel();
}

std::string_view DifferenceModel::Symbol(std::uint32_t all) const {
    const Row& row = rows_[all];
    if (row.kind == DifferenceKind::kOnly1) return comparison_->lib1.table.Symbol(row.index);
    if (row.kind == DifferenceKind::kOnly2) return comparison_->lib2.table.Symbol(row.index);
    return comparison_->lib2.table.Symbol(
        comparison_->pairs[static_cast<std::size_t>(row.index)].record2);
}

SymbolEntry DifferenceModel::Record(const Row& row, int side) const {
    if (row.kind == DifferenceKind::kChanged) {
        const MatchedPair& pair = comparison_->pairs[static_cast<std::size_t>(row.index)];
        return side == 1 ? comparison_->Record1(pair) : comparison_->Record2(pair);
    }
    if (row.kind == DifferenceKind::kOnly1 && side == 1) return comparison_->lib1.table[row.index];
    if (row.kind == DifferenceKind::kOnly2 && side == 2) return comparison_->lib2.table[row.index];
    return {};
}

std::string_view DifferenceModel::SortValue(std::uint32_t all, int side) const {
    const Row& row = rows_[all];
    const SymbolEntry entry = Record(row, side);
    return row.kind == DifferenceKind::kChanged ? FieldOf(entry, row.field) : entry.designation;
}

bool DifferenceModel::Classifications(DifferenceKind kind) const {
    if (kind == DifferenceKind::kOnly1) return comparison_->lib1.layout == LibraryLayout::kLong;
    if (kind == DifferenceKind::kOnly2) return comparison_->lib2.layout == LibraryLayout::kLong;
    return comparison_->classificationsCompared;
}

std::uint64_t DifferenceModel::MarkOf(std::uint32_t all) const {
    // A name's rows stand together: count the earlier ones of the same kind
    // and field.
    const Row& row = rows_[all];
    const std::string_view symbol = Symbol(all);
    std::uint32_t occurrence = 0;
    for (std::uint32_t before = all; before-- > 0 && Symbol(before) == symbol;)
        if (rows_[before].kind == row.kind && rows_[before].field == row.field) ++occurrence;
    return MarkKey(row.kind, symbol, row.field, occurrence);
}

std::vector<std::uint64_t> DifferenceModel::SetChecked(const std::vector<std::uint32_t>& all,
                                                       bool checked) {
    std::vector<std::uint64_t> marks;
    std::vector<int> gone;  // shown rows that the filter no longer shows
    for (const std::uint32_t row : all) {
        if (checked_[row] == (checked ? 1 : 0)) continue;
        checked_[row] = checked ? 1 : 0;
        checkedCount_ = checked ? checkedCount_ + 1 : checkedCount_ - 1;
        marks.push_back(MarkOf(row));
        const int shown = ShownRow(row);
        if (shown < 0) continue;
        if (checked && filter_.onlyUnchecked)
            gone.push_back(shown);
        else
            emit dataChanged(index(shown, 0), index(shown, kColumnCount - 1));
    }
    if (!gone.empty()) {
        // Removed from the bottom up, a run of neighbours at a time.
        std::sort(gone.begin(), gone.end());
        for (auto last = gone.end(); last != gone.begin();) {
            auto first = std::prev(last);
            while (first != gone.begin() && *std::prev(first) == *first - 1) --first;
            beginRemoveRows({}, *first, *std::prev(last));
            shown_.erase(shown_.begin() + *first, shown_.begin() + *std::prev(last) + 1);
            endRemoveRows();
            last = first;
        }
        for (std::size_t at = 0; at < shownAt_.size(); ++at) shownAt_[at] = -1;
        for (std::size_t at = 0; at < shown_.size(); ++at)
            shownAt_[shown_[at]] = static_cast<std::int32_t>(at);
    }
    return marks;
}

int DifferenceModel::ShownRow(std::uint32_t all) const {
    return all < shownAt_.size() ? shownAt_[all] : -1;
}

bool DifferenceModel::Passes(std::uint32_t all, const std::string& folded) const {
    const Row& row = rows_[all];
    if (taken_ != 0 && takenRows_[all]) return false;
    if (filter_.kind && row.kind != *filter_.kind) return false;
    if (filter_.field != 0 && row.kind == DifferenceKind::kChanged && row.field != filter_.field)
        return false;
    if (filter_.field != 0 && row.kind != DifferenceKind::kChanged &&
        filter_.field != kDesignationDiffers && !Classifications(row.kind))
        return false;
    if (filter_.onlyUnchecked && checked_[all]) return false;
    if (folded.empty()) return true;
    if (kindMatches_[static_cast<int>(row.kind)]) return true;
    if (ContainsFolded(Symbol(all), folded)) return true;
    if (row.kind == DifferenceKind::kChanged) {
        if (fieldMatches_[FieldIndex(row.field)]) return true;
        const MatchedPair& pair = comparison_->pairs[static_cast<std::size_t>(row.index)];
        return ContainsFolded(FieldOf(comparison_->Record1(pair), row.field), folded) ||
               ContainsFolded(FieldOf(comparison_->Record2(pair), row.field), folded);
    }
    const bool classifications = Classifications(row.kind);
    if (recordFieldsMatch_[classifications ? 1 : 0]) return true;
    const SymbolEntry entry = Record(row, row.kind == DifferenceKind::kOnly1 ? 1 : 2);
    return ContainsFolded(entry.designation, folded) ||
           (classifications && (ContainsFolded(entry.classification1, folded) ||
                                ContainsFolded(entry.classification2, folded)));
}

void DifferenceModel::Refilter(const std::vector<std::uint32_t>& candidates) {
    std::vector<std::uint32_t> shown;
    shown.reserve(candidates.size());
    for (const std::uint32_t all : candidates)
        if (Passes(all, folded_)) shown.push_back(all);
    shown_.swap(shown);
    shownAt_.assign(rows_.size(), -1);
    for (std::size_t at = 0; at < shown_.size(); ++at)
        shownAt_[shown_[at]] = static_cast<std::int32_t>(at);
}

bool DifferenceModel::Follow(const std::vector<std::int32_t>& pairs) {
    if (!comparison_) return false;
    std::vector<std::int32_t> followed(pairs);
    std::sort(followed.begin(), followed.end());
    // The rows of the followed pairs, and the fields they have rows for.
    std::vector<std::uint32_t> rows;
    std::vector<std::uint8_t> fields(followed.size(), 0);
    for (std::size_t i = 0; i < followed.size(); ++i)
        for (auto found = std::lower_bound(rowsOfPairs_.begin(), rowsOfPairs_.end(),
                                           std::pair<std::int32_t, std::uint32_t>(followed[i], 0));
             found != rowsOfPairs_.end() && found->first == followed[i]; ++found) {
            fields[i] |= rows_[found->second].field;
            rows.push_back(found->second);
        }
    for (std::size_t i = 0; i < followed.size(); ++i)
        if (comparison_->pairs[static_cast<std::size_t>(followed[i])].differences & ~fields[i])
            return false;
    for (const std::uint32_t all : rows) {
        const bool taken = Taken(rows_[all]);
        if (taken == (takenRows_[all] != 0)) continue;
        takenRows_[all] = taken ? 1 : 0;
        taken ? ++taken_ : --taken_;
        // A row taken over is counted neither among the rows nor among the
        // checked ones; its tick comes back with it.
        if (checked_[all]) taken ? --checkedCount_ : ++checkedCount_;
        const std::int32_t shown = shownAt_[all];
        if (taken && shown >= 0) {
            beginRemoveRows({}, shown, shown);
            shown_.erase(shown_.begin() + shown);
            shownAt_[all] = -1;
            for (std::size_t i = static_cast<std::size_t>(shown); i < shown_.size(); ++i)
                shownAt_[shown_[i]] = static_cast<std::int32_t>(i);
            endRemoveRows();
        } else if (!taken && shown < 0 && Passes(all, folded_)) {
            // Back where the sorted column puts it among the rows shown.
            const auto place = std::lower_bound(
                shown_.begin(), shown_.end(), orderAt_[all],
                [this](std::uint32_t row, std::uint32_t order) { return orderAt_[row] < order; });
            const auto row = static_cast<int>(place - shown_.begin());
            beginInsertRows({}, row, row);
            shown_.insert(place, all);
            for (std::size_t i = static_cast<std::size_t>(row); i < shown_.size(); ++i)
                shownAt_[shown_[i]] = static_cast<std::int32_t>(i);
            endInsertRows();
        }
    }
    return true;
}

void DifferenceModel::SetFilter(const Filter& filter) {
    if (filter == filter_) return;
    const std::string folded = FoldForSearch(filter.search);
    // A longer search text among the same filters shows a part of what the
    // shorter showed: only the rows shown are looked at again (typing).
    Filter same = filter;
    same.search = filter_.search;
    const bool narrows = same == filter_ && folded.find(folded_) != std::string::npos;
    filter_ = filter;
    folded_ = folded;
    for (const DifferenceKind kind :
         {DifferenceKind::kChanged, DifferenceKind::kOnly1, DifferenceKind::kOnly2})
        kindMatches_[static_cast<int>(kind)] =
            !folded_.empty() && ContainsFolded(FoldedWords(DifferenceKindName(kind)), folded_);
    for (const std::uint8_t field :
         {kDesignationDiffers, kClassification1Differs, kClassification2Differs})
        fieldMatches_[FieldIndex(field)] =
            !folded_.empty() && ContainsFolded(FoldedWords(FieldName(field)), folded_);
    for (const bool classifications : {false, true})
        recordFieldsMatch_[classifications ? 1 : 0] =
            !folded_.empty() &&
            ContainsFolded(FoldedWords(RecordFieldNames(classifications)), folded_);
    beginResetModel();
    if (narrows) {
        const std::vector<std::uint32_t> candidates = shown_;
        Refilter(candidates);
    } else {
        Refilter(order_);
    }
    endResetModel();
}

void DifferenceModel::sort(int column, Qt::SortOrder order) {
    std::vector<std::uint32_t> ids(rows_.size());
    std::iota(ids.begin(), ids.end(), 0u);
    const bool descending = order == Qt::DescendingOrder;
    // Stable sorts from the order of the names: rows of the same key stay in
    // that order, either way round.
    const auto byKey = [&](auto key) {
        std::stable_sort(ids.begin(), ids.end(), [&](std::uint32_t a, std::uint32_t b) {
            return descending ? key(b) < key(a) : key(a) < key(b);
        });
    };
    switch (column) {
        case kKindColumn:
            byKey([this](std::uint32_t all) { return static_cast<int>(rows_[all].kind); });
            break;
        case kFieldColumn:
            byKey([this](std::uint32_t all) { return FieldRank(rows_[all]); });
            break;
        case kCheckedColumn:
            byKey([this](std::uint32_t all) { return checked_[all]; });
            break;
        case kValue1Column:
        case kValue2Column: {
            // Each value read once, its key prefix worked out once; equal
            // values are told apart by their bytes before the full order.
            struct Item {
                DisplayKeyPrefix key;
                std::string_view value;
                std::uint32_t all;
            };
            const int side = column == kValue1Column ? 1 : 2;
            std::vector<Item> items(ids.size());
            for (std::uint32_t all = 0; all < ids.size(); ++all) {
                const std::string_view value = SortValue(all, side);
                items[all] = {DisplayKeyPrefixOf(value), value, all};
            }
            const auto less = [](const Item& a, const Item& b) {
                if (a.key.high != b.key.high) return a.key.high < b.key.high;
                if (a.key.low != b.key.low) return a.key.low < b.key.low;
                return a.value != b.value && CompareForDisplay(a.value, b.value) < 0;
            };
            std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
                return descending ? less(b, a) : less(a, b);
            });
            for (std::size_t at = 0; at < items.size(); ++at) ids[at] = items[at].all;
            break;
        }
        default:  // the symbol: the order of all rows, or turned round name by name
            if (descending) {
                std::reverse(ids.begin(), ids.end());
                for (auto first = ids.begin(); first != ids.end();) {
                    auto last = std::next(first);
                    while (last != ids.end() && Symbol(*last) == Symbol(*first)) ++last;
                    std::reverse(first, last);
                    first = last;
                }
            }
            break;
    }
    beginResetModel();
    order_.swap(ids);
    for (std::uint32_t i = 0; i < order_.size(); ++i) orderAt_[order_[i]] = i;
    // The same rows stay shown, in the new order.
    std::vector<std::uint32_t> shown;
    shown.reserve(shown_.size());
    for (const std::uint32_t all : order_)
        if (shownAt_[all] >= 0) shown.push_back(all);
    shown_.swap(shown);
    for (std::size_t at = 0; at < shown_.size(); ++at)
        shownAt_[shown_[at]] = static_cast<std::int32_t>(at);
    endResetModel();
}

QString DifferenceModel::CellText(std::uint32_t all, int column) const {
    const Row& row = rows_[all];
    switch (column) {
        case kKindColumn:
            return Utf8(DifferenceKindName(row.kind));
        case kSymbolColumn: {
            const std::string_view symbol = Symbol(all);
            return Utf8(ShowValue(symbol, 0, 0).Whole());
        }
        case kFieldColumn:
            return Utf8(row.kind == DifferenceKind::kChanged
                            ? FieldName(row.field)
                            : RecordFieldNames(Classifications(row.kind)));
        case kValue1Column:
        case kValue2Column: {
            const int side = column == kValue1Column ? 1 : 2;
            if (row.kind == DifferenceKind::kChanged)
                return Utf8(ShowValue(FieldOf(Record(row, side), row.field), 0, 0).Whole());
            if ((row.kind == DifferenceKind::kOnly1) != (side == 1)) return {};
            return Utf8(RecordInOneLine(Record(row, side), Classifications(row.kind)));
        }
        case kCheckedColumn:
            return checked_[all] ? Utf8(DifferenceWindowText().checkedSign) : QString();
    }
    return {};
}

QString DifferenceModel::RowsText(const std::vector<int>& shownRows) const {
    QStringList lines;
    QStringList header;
    for (int column = 0; column < kColumnCount; ++column)
        header << Utf8(DifferenceColumnName(column));
    lines << header.join(u'\t');
    for (const int shown : shownRows) {
        QStringList cells;
        for (int column = 0; column < kColumnCount; ++column)
            cells << CellText(AllRow(shown), column);
        lines << cells.join(u'\t');
    }
    return lines.join(u'\n') + u'\n';
}

int DifferenceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int DifferenceModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant DifferenceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    const std::uint32_t all = AllRow(index.row());
    const Row& row = rows_[all];
    switch (role) {
        case Qt::DisplayRole:
            return CellText(all, index.column());
        case kPiecesRole: {
            if (row.kind != DifferenceKind::kChanged ||
                (index.column() != kValue1Column && index.column() != kValue2Column))
                return {};
            const std::string_view before = FieldOf(Record(row, 1), row.field);
            const std::string_view after = FieldOf(Record(row, 2), row.field);
            const DifferingPart part = FindDifferingPart(before, after);
            const ShownValue shown = index.column() == kValue1Column
                                         ? ShowValue(before, part.start, part.endBefore)
                                         : ShowValue(after, part.start, part.endAfter);
            return QStringList{Utf8(shown.head), Utf8(shown.differing), Utf8(shown.tail)};
        }
        case Qt::AccessibleTextRole: {
            if (row.kind == DifferenceKind::kChanged) {
                // The pair's changed fields in the order of their bits.
                const MatchedPair& pair = comparison_->pairs[static_cast<std::size_t>(row.index)];
                const auto at =
                    std::popcount(static_cast<unsigned>(pair.differences & (row.field - 1)));
                const ChangedField field =
                    ChangedFields(*comparison_, pair)[static_cast<std::size_t>(at)];
                return Utf8(ChangedFieldSentence(Symbol(all), field, checked_[all] != 0));
            }
            return Utf8(OnlyRecordSentence(row.kind,
                                           Record(row, row.kind == DifferenceKind::kOnly1 ? 1 : 2),
                                           Classifications(row.kind), checked_[all] != 0));
        }
        case Qt::AccessibleDescriptionRole:
            if (row.kind != DifferenceKind::kChanged) return {};
            return Utf8(DifferenceInWords(FieldOf(Record(row, 1), row.field),
                                          FieldOf(Record(row, 2), row.field)));
        case Qt::ToolTipRole:  // what a narrow column cuts off
            if (index.column() == kFieldColumn || index.column() == kValue1Column ||
                index.column() == kValue2Column)
                return CellText(all, index.column());
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == kCheckedColumn) return int(Qt::AlignCenter);
            return {};
    }
    return {};
}

QVariant DifferenceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return Utf8(DifferenceColumnName(section));
    return {};
}
