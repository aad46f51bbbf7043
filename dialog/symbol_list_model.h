#pragma once

#include <QAbstractListModel>
#include <QStringDecoder>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/large_memory.h"
#include "library/symbol_list.h"

// The names of one list: raw bytes in, sorted for display (ignoring case, with
// a fixed tie-break), duplicates kept, shown decoded from Windows-1252. Each
// row gives back exactly the bytes that were added.
//
// Names added in a batch are sorted once, when the batch is flushed: by any
// query of the list, or at the latest when the event loop runs again.
class SymbolListModel : public QAbstractListModel, public SymbolList {
    Q_OBJECT

public:
    explicit SymbolListModel(QObject* parent = nullptr);

    // SymbolList
    void Empty() override;
    void Add(std::string_view name) override;

    // Sorts what was added since the last flush into place.
    void Flush();

    int Count();
    std::string_view Bytes(int row);
    // First row, in display order, whose text begins with `prefix` ignoring
    // case; -1 if none or if `prefix` is empty.
    int FindPrefix(std::string_view prefix);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::string_view NameAt(std::uint32_t id) const;
    void ScheduleFlush();

    LargeString arena_;                   // every name's bytes, one after another
    LargeVector<std::uint64_t> starts_;   // name id -> offset in arena_
    LargeVector<std::uint32_t> order_;    // display row -> name id (sorted part)
    LargeVector<std::uint32_t> pending_;  // ids added since the last flush
    bool flushScheduled_ = false;
    mutable QStringDecoder decoder_{"windows-1252"};
};
