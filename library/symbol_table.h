#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "library/large_memory.h"

// One symbol: the name and its three descriptive fields, as raw 8-bit bytes
// (Windows-1252 when shown). The views point into storage that the owning
// SymbolTable keeps alive.
struct SymbolEntry {
    std::string_view symbol;
    std::string_view designation;
    std::string_view classification1;
    std::string_view classification2;
};

// The byte buffers that a table's entries point into.
using SymbolStorage = std::vector<std::shared_ptr<const void>>;

// The slots of a table, in one (possibly very large) block.
using SlotVector = std::vector<SymbolEntry, LargeAllocator<SymbolEntry>>;

// A growable table of symbol slots. Library tables number their records from
// 1 (slot 0 is never used); the common table fills from slot 0. A slot that
// was never written reads as four empty fields.
//
// A table keeps alive exactly what its slots point into: filling it anew lets
// go of everything the earlier content held. The common table does not copy
// library 2's entries: each of its slots names a slot of library 2's table,
// whose slots and bytes it shares.
class SymbolTable {
public:
    // Slot `slot`; any slot outside the table reads as empty.
    const SymbolEntry& operator[](std::int64_t slot) const {
        static const SymbolEntry kEmpty;
        if (slot < 0 || slot >= Size()) return kEmpty;
        const auto at = static_cast<std::size_t>(slot);
        return (*slots_)[picks_ ? static_cast<std::size_t>((*picks_)[at]) : at];
    }

    // Number of slots held.
    std::int64_t Size() const {
        return static_cast<std::int64_t>(picks_ ? picks_->size() : slots_->size());
    }

    // Writes copies of the four texts into slot `slot`, growing the table.
    void Assign(std::int64_t slot, std::string_view symbol, std::string_view designation = {},
                std::string_view classification1 = {}, std::string_view classification2 = {});

    // Replaces the whole content by `fresh`. `storage` owns every byte the
    // fresh entries point into.
    void Replace(SlotVector fresh, SymbolStorage storage);

    // Replaces the whole content by a selection of `source`'s slots: slot k
    // reads as source[picks[k]]. Every pick must lie inside `source`.
    void Pick(const SymbolTable& source, std::vector<std::int32_t> picks);

    const SymbolStorage& Storage() const { return storage_; }

private:
    // Gives this table slots of its own that nobody else reads.
    void Unshare();

    std::shared_ptr<SlotVector> slots_ = std::make_shared<SlotVector>();  // may be shared
    std::shared_ptr<const std::vector<std::int32_t>> picks_;  // null: slot k is slots_[k]
    SymbolStorage storage_;
};

// The process-wide tables: library 1, library 2 and the symbols both hold.
extern SymbolTable lib1Table;
extern SymbolTable lib2Table;
extern SymbolTable commonTable;
extern std::int32_t lib1Count;
extern std::int32_t lib2Count;
extern std::int32_t commonCount;
