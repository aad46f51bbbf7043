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

    // Sorts what was added since the last flush into place, in one reset.
    void Flush();

    int Count() const { return static_cast<int>(order_.size()); }
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

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::string_view NameAt(std::uint32_t id) const;

    std::string arena_;                 // every distinct name's bytes, one after another
    std::vector<std::size_t> starts_;   // name id -> offset in arena_; one more at the end
    std::vector<std::uint32_t> adds_;   // source (addition) -> name id
    std::vector<std::uint32_t> order_;  // display row -> source, flushed additions only
    std::unordered_map<std::uint32_t, RowMark> marks_;  // source -> mark
    Mark mark_ = Mark::kChanged;
};
