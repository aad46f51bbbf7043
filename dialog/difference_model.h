#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/compare.h"
#include "dialog/symbol_list_model.h"
#include "report/messages.h"

// Every difference of a comparison as a table: one row for each changed
// field of each changed pair, one for each record only in library 1 or only
// in library 2. A row is a pair index or a record number with its kind and
// field; the texts are read from the comparison's tables when shown, never
// copied. Rows are kept three ways: all rows in display order of their
// names (a row's number, "all row"), the order of the sorted column, and the
// rows the filter shows in that order.
class DifferenceModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        kKindColumn,
        kSymbolColumn,
        kFieldColumn,
        kValue1Column,
        kValue2Column,
        kCheckedColumn,
        kColumnCount
    };
    // A value cell's text in three pieces, head, differing part and tail
    // (QStringList), for changed fields.
    static constexpr int kPiecesRole = Qt::UserRole + 1;

    struct Row {
        std::int32_t index = 0;  // pair index (kChanged) or record number
        DifferenceKind kind = DifferenceKind::kChanged;
        std::uint8_t field = 0;  // the FieldDifference bit of a changed field
    };

    struct Filter {
        std::optional<DifferenceKind> kind;  // none: every kind
        std::uint8_t field = 0;              // a FieldDifference bit; 0: every field
        std::string search;                  // Windows-1252 bytes as typed
        bool onlyUnchecked = false;
        bool operator==(const Filter&) const = default;
    };

    explicit DifferenceModel(QObject* parent = nullptr);

    // Lists the differences of `comparison` (null: none), which stays in
    // place while the model shows it; nothing is checked; sorted by name.
    void SetComparison(const Comparison* comparison);
    // Checks the rows whose mark key `checked` answers true for.
    void CheckWhere(const std::function<bool(std::uint64_t mark)>& checked);
    void SetFilter(const Filter& filter);
    // The comparison's pairs `pairs` changed in place (a difference taken
    // over, or that undone): the rows of fields no longer changed go, those
    // changed again come back where the sort puts them; the other rows stay
    // as they are. False, and nothing changed, when a field now changed has
    // no row: the caller fills the model anew.
    bool Follow(const std::vector<std::int32_t>& pairs);
    const Filter& CurrentFilter() const { return filter_; }
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    int Count() const { return static_cast<int>(shown_.size()); }
    // Rows there are to show, whatever the filter.
    std::size_t TotalCount() const { return rows_.size() - taken_; }
    std::size_t CheckedCount() const { return checkedCount_; }
    // Shown row -> all row, and back (-1 while hidden).
    std::uint32_t AllRow(int shown) const { return shown_[static_cast<std::size_t>(shown)]; }
    int ShownRow(std::uint32_t all) const;
    const Row& At(std::uint32_t all) const { return rows_[all]; }
    bool IsChecked(std::uint32_t all) const { return checked_[all] != 0; }
    std::string_view Symbol(std::uint32_t all) const;
    // The key under which a row's mark is kept (see MarkKey).
    std::uint64_t MarkOf(std::uint32_t all) const;
    // Checks or unchecks the rows `all`; returns the keys of those that
    // changed. While only unchecked rows are shown, checked ones go.
    std::vector<std::uint64_t> SetChecked(const std::vector<std::uint32_t>& all, bool checked);

    // What the shown rows hold, as a comparison of its own (for an export):
    // the pairs with a changed field shown, in the order found; the records
    // only in one library shown, in record order. It shares the tables'
    // bytes.
    Comparison ShownAsComparison() const;
    // Shown rows as tab-separated lines, the column names first.
    QString RowsText(const std::vector<int>& shownRows) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    SymbolEntry Record(const Row& row, int side) const;
    // The bytes a value column sorts by: the changed field, or the
    // designation of a record only in that library.
    std::string_view SortValue(std::uint32_t all, int side) const;
    QString CellText(std::uint32_t all, int column) const;
    bool Classifications(DifferenceKind kind) const;
    bool Passes(std::uint32_t all, const std::string& folded) const;
    // A changed field's row whose field is the same in both libraries now.
    bool Taken(const Row& row) const {
        return row.kind == DifferenceKind::kChanged &&
               !(comparison_->pairs[static_cast<std::size_t>(row.index)].differences & row.field);
    }
    // shown_ and shownAt_ from `candidates` (in order) by the filter.
    void Refilter(const std::vector<std::uint32_t>& candidates);

    const Comparison* comparison_ = nullptr;
    std::vector<Row> rows_;              // all rows, in display order of the names
    std::vector<std::uint8_t> checked_;  // by all row
    std::size_t checkedCount_ = 0;
    std::size_t taken_ = 0;                // rows of fields no longer changed
    std::vector<std::uint8_t> takenRows_;  // by all row
    std::vector<std::uint32_t> orderAt_;   // all row -> place in order_
    // The changed fields' rows by pair index (pair, all row).
    std::vector<std::pair<std::int32_t, std::uint32_t>> rowsOfPairs_;
    std::vector<std::uint32_t> order_;   // all rows in the order of the sorted column
    std::vector<std::uint32_t> shown_;   // the rows the filter shows, in that order
    std::vector<std::int32_t> shownAt_;  // all row -> shown row, -1 hidden
    Filter filter_;
    std::string folded_;  // the filter's search, folded
    // Whether the words of the kinds and of the field columns contain it.
    bool kindMatches_[3] = {};
    bool fieldMatches_[3] = {};
    bool recordFieldsMatch_[2] = {};  // without, with classifications
};
