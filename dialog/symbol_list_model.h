#pragma once

#include <QAbstractListModel>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "library/symbol_list.h"

// Symbol bytes as shown: decoded from Windows-1252.
QString FromWindows1252(std::string_view bytes);
// Text typed by the user in the bytes of the names (Windows-1252); a
// character that code page lacks becomes a NUL byte, which no name holds.
std::string ToWindows1252(const QString& text);

// The names of one list: raw bytes in, sorted for display (ignoring case, with
// a fixed tie-break), duplicates kept, shown decoded from Windows-1252. Each
// row gives back exactly the bytes that were added, and knows which addition
// it shows (its source: 0 for the first name added after emptying, 1 for the
// next, …), so that a row leads to its record or pair without a search.
//
// Adding only appends; the added names appear, sorted into place, when the
// batch is flushed, in one model reset. Equal names keep the order in which
// they were added. Every query is const and sees only flushed rows. A name
// added again right after itself is stored once, so a name repeated a million
// times costs a row index each, not a copy each.
class SymbolListModel : public QAbstractListModel, public SymbolList {
    Q_OBJECT

public:
    explicit SymbolListModel(QObject* parent = nullptr);

    // SymbolList
    void Empty() override;
    void Add(std::string_view name) override;

    // Makes room for `names` more additions at once.
    void Reserve(std::size_t names) { adds_.reserve(adds_.size() + names); }
    // Sorts what was added since the last flush into place, in one reset.
    void Flush();

    // Rows shown: all of them, or those the filter keeps.
    int Count() const { return static_cast<int>(filtered_ ? visible_.size() : order_.size()); }
    // All rows, whatever the filter.
    int TotalCount() const { return static_cast<int>(order_.size()); }

    // Shows only the names that contain `text` (case and accents folded as
    // in the sort order; Windows-1252 bytes), and with `onlySigned` only the
    // rows that carry a sign. An empty text and no `onlySigned` show all.
    void SetFilter(std::string_view text, bool onlySigned);
    // The shown rows that carry a sign, in order: the next after `row`
    // (-1: from the top) and the one before `row`; -1 if there is none.
    int NextSignedRow(int row) const;
    int PreviousSignedRow(int row) const;
    // How many shown rows carry a sign, and which of them row `row` is (0 for
    // the first; -1 when it carries none).
    int SignedRowCount() const { return static_cast<int>(SignedRows().size()); }
    int SignedRowIndex(int row) const;
    // Shown row `row` among all rows, whatever the filter; -1 outside the list.
    int AllRow(int row) const;
    // The first shown row that stands at or after `allRow` among all rows;
    // Count() when none does.
    int ShownRowFrom(int allRow) const;
    // The shown row of `allRow`; -1 while the filter hides it.
    int ShownRow(int allRow) const {
        const int row = ShownRowFrom(allRow);
        return row < Count() && AllRow(row) == allRow ? row : -1;
    }
    // The bytes of row `row`; empty outside the list.
    std::string_view Bytes(int row) const;
    // Which addition row `row` shows; -1 outside the list.
    std::int64_t Source(int row) const;
    // First row, in display order, whose text begins with `prefix` ignoring
    // case; -1 if none or if `prefix` is empty.
    int FindPrefix(std::string_view prefix) const;
    // First row whose bytes equal `text` exactly; -1 if none.
    int FindExact(std::string_view text) const;
    // The last of the rows that show the same bytes as row `row` (they stand
    // together, in the order they were added).
    int LastRowLike(int row) const;
    // The shown row of source `source`; -1 where there is none or the filter
    // hides it.
    int RowOfSource(std::int64_t source) const;

    // Marks rows by their source: a sign beside the name where `sign` is set
    // (an orange dot for a change, a blue ring for a hint), and the note as
    // the row's tooltip and accessible description. Emptying the list drops
    // the marks.
    enum class Mark { kChanged, kHint };
    struct RowMark {
        bool sign = false;
        QString note;
    };
    void SetMarks(Mark mark, std::unordered_map<std::uint32_t, RowMark> marks);
    // Gives source `source` the sign (a mark without a note of its own), or
    // takes its mark away; the other marks stay.
    void SetSigned(std::uint32_t source, bool sign);
    // Notes made when asked for, by source, for rows whose mark has none (an
    // empty note: none). Emptying the list drops them.
    void SetNotes(std::function<QString(std::uint32_t source)> noteOf);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;

signals:
    // The sign and note of shown row `row` changed (SetSigned); the row is
    // to be drawn again.
    void signChanged(int row);

public:
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::string_view NameAt(std::uint32_t id) const;

    std::string arena_;                 // every distinct name's bytes, one after another
    std::vector<std::size_t> starts_;   // name id -> offset in arena_; one more at the end
    std::vector<std::uint32_t> adds_;   // source (addition) -> name id
    std::vector<std::uint32_t> order_;  // display row -> source, flushed additions only
    std::unordered_map<std::uint32_t, RowMark> marks_;  // source -> mark
    Mark mark_ = Mark::kChanged;
    std::function<QString(std::uint32_t source)> noteOf_;

    // Row `row` as shown, among all rows.
    std::size_t Underlying(int row) const {
        return filtered_ ? visible_[static_cast<std::size_t>(row)] : static_cast<std::size_t>(row);
    }
    bool Signed(std::uint32_t source) const;
    void ApplyFilter();
    const std::vector<int>& SignedRows() const;

    std::string filterText_;  // folded
    bool onlySigned_ = false;
    bool filtered_ = false;
    std::vector<std::uint32_t> visible_;   // shown row -> row among all, while filtered
    mutable std::vector<int> signedRows_;  // shown rows with a sign, worked out when asked
    mutable bool signedRowsKnown_ = false;
};
