#include "library/symbol_table.h"

#include <algorithm>
#include <string>
#include <utility>

SymbolTable lib1Table;
SymbolTable lib2Table;
SymbolTable commonTable;
std::int32_t lib1Count = 0;
std::int32_t lib2Count = 0;
std::int32_t commonCount = 0;

const SymbolEntry& SymbolTable::operator[](std::int64_t slot) const {
    static const SymbolEntry kEmpty;
    if (slot < 0 || slot >= Size()) return kEmpty;
    return slots_[static_cast<std::size_t>(slot)];
}

void SymbolTable::Assign(std::int64_t slot, std::string_view symbol, std::string_view designation,
                         std::string_view classification1, std::string_view classification2) {
    if (slot < 0) return;
    auto bytes = std::make_shared<std::string>();
    bytes->reserve(symbol.size() + designation.size() + classification1.size() +
                   classification2.size());
    for (auto part : {symbol, designation, classification1, classification2}) bytes->append(part);

    const char* at = bytes->data();
    auto take = [&at](std::size_t n) {
        std::string_view view(at, n);
        at += n;
        return view;
    };
    SymbolEntry entry;
    entry.symbol = take(symbol.size());
    entry.designation = take(designation.size());
    entry.classification1 = take(classification1.size());
    entry.classification2 = take(classification2.size());

    if (slot >= Size()) slots_.resize(static_cast<std::size_t>(slot) + 1);
    slots_[static_cast<std::size_t>(slot)] = entry;
    storage_.push_back(std::move(bytes));
}

void SymbolTable::Replace(SlotVector fresh, SymbolStorage storage) {
    if (fresh.size() < slots_.size()) {
        // Stale slots stay readable, so their buffers stay alive too.
        fresh.insert(fresh.end(), slots_.begin() + static_cast<std::ptrdiff_t>(fresh.size()),
                     slots_.end());
        storage.insert(storage.end(), storage_.begin(), storage_.end());
        std::sort(storage.begin(), storage.end());
        storage.erase(std::unique(storage.begin(), storage.end()), storage.end());
    }
    slots_ = std::move(fresh);
    storage_ = std::move(storage);
}
