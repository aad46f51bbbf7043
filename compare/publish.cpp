// A comparison written into the system's tables and lists.

#include <utility>
#include <vector>

#include "compare/compare.h"

void PublishComparison(const Comparison& comparison, SymbolTable& common, std::int32_t& commonCount,
                       SymbolList& commonList, SymbolList& only1List, SymbolList& only2List) {
    only1List.Empty();
    only2List.Empty();
    commonList.Empty();
    commonCount = static_cast<std::int32_t>(comparison.pairs.size());
    if (comparison.refused) {
        common.Replace({}, {});
        return;
    }
    const SymbolTable& lib1 = comparison.lib1.table;
    const SymbolTable& lib2 = comparison.lib2.table;
    std::vector<std::int32_t> picks;
    picks.reserve(comparison.pairs.size());
    for (std::size_t k = 0; k < comparison.pairs.size(); ++k) {
        if (k + kPrefetchAhead < comparison.pairs.size())
            lib2.Prefetch(comparison.pairs[k + kPrefetchAhead].record2);
        const std::int32_t record2 = comparison.pairs[k].record2;  // a copy: the pair is packed
        picks.push_back(record2);
        commonList.Add(lib2.Symbol(record2));
    }
    common.Pick(lib2, std::move(picks));
    for (std::size_t i = 0; i < comparison.only2.size(); ++i) {
        lib2.PrefetchAhead(comparison.only2, i);
        only2List.Add(lib2.Symbol(comparison.only2[i]));
    }
    for (std::size_t i = 0; i < comparison.only1.size(); ++i) {
        lib1.PrefetchAhead(comparison.only1, i);
        only1List.Add(lib1.Symbol(comparison.only1[i]));
    }
}

Comparison CompareLibraries(SymbolList& commonList, SymbolList& only1List, SymbolList& only2List) {
    Comparison comparison = CompareTables(lib1Table, lib1Count, lib2Table, lib2Count);
    PublishComparison(comparison, commonTable, commonCount, commonList, only1List, only2List);
    return comparison;
}
