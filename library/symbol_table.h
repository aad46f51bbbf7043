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
// was never written reads as four empty fields. Slots above a table's count
// keep whatever an earlier, larger fill left there; nobody reads them.
class SymbolTable {
public:
    // Slot `slot`; any slot outside the table reads as empty.
    const SymbolEntry& operator[](std::int64_t slot) const;

    // Number of slots held (written or stale), not the table's count.
    std::int64_t Size() const { return static_cast<std::int64_t>(slots_.size()); }

    // Writes copies of the four texts into slot `slot`, growing the table.
    void Assign(std::int64_t slot, std::string_view symbol, std::string_view designation = {},
                std::string_view classification1 = {}, std::string_view classification2 = {});

    // Replaces slots 0 to fresh.size() - 1 in one step; slots beyond them keep
    // their content. `storage` owns every byte the fresh entries point into.
    void Replace(SlotVector fresh, SymbolStorage storage);

    const SymbolStorage& Storage() const { return storage_; }

private:
    SlotVector slots_;
    SymbolStorage storage_;
};

// The process-wide tables: library 1, library 2 and the symbols both hold.
extern SymbolTable lib1Table;
extern SymbolTable lib2Table;
extern SymbolTable commonTable;
extern std::int32_t lib1Count;
extern std::int32_t lib2Count;
extern std::int32_t commonCount;
