#include "library/symbol_table.h"

#include <string>
#include <utility>

SymbolTable lib1Table;
SymbolTable lib2Table;
SymbolTable commonTable;
std::int32_t lib1Count = 0;
std::int32_t lib2Count = 0;
std::int32_t commonCount = 0;

void SymbolTable::Unshare() {
    if (!picks_ && slots_.use_count() == 1) return;
    SlotVector own;
    own.reserve(static_cast<std::size_t>(Size()));
    for (std::int64_t slot = 0; slot < Size(); ++slot) own.push_back((*this)[slot]);
    slots_ = std::make_shared<SlotVector>(std::move(own));
    picks_.reset();
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

    Unshare();
    // Only this table reads its slots now, so they may be changed in place.
    SlotVector& slots = *slots_;
    if (slot >= Size()) slots.resize(static_cast<std::size_t>(slot) + 1);
    slots[static_cast<std::size_t>(slot)] = entry;
    storage_.push_back(std::move(bytes));
}

void SymbolTable::Replace(SlotVector fresh, SymbolStorage storage) {
    slots_ = std::make_shared<SlotVector>(std::move(fresh));
    picks_.reset();
    storage_ = std::move(storage);
}

void SymbolTable::Pick(const SymbolTable& source, std::vector<std::int32_t> picks) {
    if (source.picks_) {
        // A selection of a selection: resolve to the underlying slots.
        for (auto& pick : picks) pick = (*source.picks_)[static_cast<std::size_t>(pick)];
    }
    slots_ = source.slots_;
    storage_ = source.storage_;
    picks_ = std::make_shared<const std::vector<std::int32_t>>(std::move(picks));
}
