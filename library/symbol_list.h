#pragma once

#include <string_view>

// A displayed list of symbol names. The reader and the comparison only ever
// empty a list and add names to it; how the names are shown (sorted, decoded)
// is the list's business.
class SymbolList {
public:
    virtual ~SymbolList() = default;
    virtual void Empty() = 0;
    virtual void Add(std::string_view name) = 0;
    // False for a list that forgets its names: nobody need work them out.
    virtual bool TakesNames() const { return true; }
};

// A list that forgets what it is given, for callers that need only the tables.
class DiscardingSymbolList final : public SymbolList {
public:
    void Empty() override {}
    void Add(std::string_view) override {}
    bool TakesNames() const override { return false; }
};
