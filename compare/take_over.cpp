#include "compare/take_over.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace {

std::string_view WholeRecord(const ComparedLibrary& library, std::int32_t record) {
    const std::uint64_t size =
        library.layout == LibraryLayout::kLong ? kLongRecordSize : kShortRecordSize;
    const std::uint64_t start = kRecordBase + static_cast<std::uint64_t>(record) * size;
    const std::string_view file = library.table.FileView();
    return start < file.size() ? file.substr(start, size) : std::string_view();
}

bool HasClassification(const SymbolEntry& entry) {
    return !entry.classification1.empty() || !entry.classification2.empty();
}

}  // namespace

TakeSelection SelectKinds(const Comparison& comparison, TakeDirection direction, unsigned kinds) {
    TakeSelection selection;
    if (comparison.refused) return selection;
    const bool into2 = direction == TakeDirection::kIntoLibrary2;
    if (kinds & kTakeChanged) selection.pairs = comparison.changed;
    const unsigned only1Kind = into2 ? kTakeAdded : kTakeRemoved;
    const unsigned only2Kind = into2 ? kTakeRemoved : kTakeAdded;
    if (kinds & only1Kind) selection.only1 = comparison.only1;
    if (kinds & only2Kind) selection.only2 = comparison.only2;
    return selection;
}

TakeOverPlan PlanTakeOver(const Comparison& comparison, TakeDirection direction,
                          const TakeSelection& selection) {
    TakeOverPlan plan;
    if (comparison.refused) return plan;
    const bool into2 = direction == TakeDirection::kIntoLibrary2;
    const ComparedLibrary& source = into2 ? comparison.lib1 : comparison.lib2;
    const ComparedLibrary& target = into2 ? comparison.lib2 : comparison.lib1;
    const bool targetHasClassifications = target.layout == LibraryLayout::kLong;

    // The selection as it stands in the comparison; anything else is ignored.
    std::vector<std::int32_t> pairs, only1, only2;
    for (const std::int32_t k : selection.pairs) {
        if (k >= 0 && static_cast<std::size_t>(k) < comparison.pairs.size())
            pairs.push_back(k);
        else
            ++plan.ignored;
    }
    const auto keepListed = [&plan](const std::vector<std::int32_t>& wanted,
                                    const std::vector<std::int32_t>& listed,
                                    std::vector<std::int32_t>& kept) {
        for (const std::int32_t record : wanted) {
            if (std::binary_search(listed.begin(), listed.end(), record))
                kept.push_back(record);
            else
                ++plan.ignored;
        }
        // Added records go in record order; each record once.
        std::sort(kept.begin(), kept.end());
        kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    };
    keepListed(selection.only1, comparison.only1, only1);
    keepListed(selection.only2, comparison.only2, only2);
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());

    // How often each library holds the selected names: a name held more than
    // once is left out whole.
    struct Tally {
        std::int32_t times1 = 0;
        std::int32_t times2 = 0;
        bool reported = false;
    };
    std::unordered_map<std::string_view, Tally> tally;
    tally.reserve(pairs.size() + only1.size() + only2.size());
    for (const std::int32_t k : pairs)
        tally.try_emplace(comparison.lib1.table.Symbol(comparison.pairs[k].record1));
    for (const std::int32_t record : only1) tally.try_emplace(comparison.lib1.table.Symbol(record));
    for (const std::int32_t record : only2) tally.try_emplace(comparison.lib2.table.Symbol(record));
    if (!tally.empty()) {
        for (std::int32_t r = 1; r <= comparison.lib1.count; ++r)
            if (const auto at = tally.find(comparison.lib1.table.Symbol(r)); at != tally.end())
                ++at->second.times1;
        for (std::int32_t r = 1; r <= comparison.lib2.count; ++r)
            if (const auto at = tally.find(comparison.lib2.table.Symbol(r)); at != tally.end())
                ++at->second.times2;
    }
    // Whether `name` may be taken; a name that may not is reported once.
    const auto takeable = [&](std::string_view name) {
        const auto at = tally.find(name);
        Tally& counts = at->second;
        if (counts.times1 <= 1 && counts.times2 <= 1) return true;
        if (!counts.reported) {
            plan.skipped.push_back({at->first, counts.times1, counts.times2});
            counts.reported = true;
        }
        return false;
    };

    for (const std::int32_t k : pairs) {
        const MatchedPair& pair = comparison.pairs[k];
        if (!takeable(comparison.lib1.table.Symbol(pair.record1)) || pair.differences == 0)
            continue;
        const SymbolEntry from = into2 ? comparison.Record1(pair) : comparison.Record2(pair);
        FieldChanges change;
        change.record = into2 ? pair.record2 : pair.record1;
        if (pair.differences & kDesignationDiffers) change.designation = from.designation;
        if (pair.differences & kClassification1Differs)
            change.classification1 = from.classification1;
        if (pair.differences & kClassification2Differs)
            change.classification2 = from.classification2;
        if (!targetHasClassifications && HasClassification(from))
            plan.classificationsNotTaken = true;
        plan.changes.changed.push_back(std::move(change));
    }

    const std::vector<std::int32_t>& added = into2 ? only1 : only2;
    const std::vector<std::int32_t>& removed = into2 ? only2 : only1;
    const ComparedLibrary& addedFrom = source;
    for (const std::int32_t record : added) {
        const SymbolEntry from = addedFrom.table[record];
        if (!takeable(from.symbol)) continue;
        AddedRecord add;
        add.symbol = from.symbol;
        add.designation = from.designation;
        if (targetHasClassifications) {
            add.classification1 = from.classification1;
            add.classification2 = from.classification2;
        } else if (HasClassification(from)) {
            plan.classificationsNotTaken = true;
        }
        if (source.layout == target.layout)
            if (const std::string_view whole = WholeRecord(source, record); !whole.empty())
                add.wholeRecord = std::string(whole);
        plan.changes.added.push_back(std::move(add));
    }
    for (const std::int32_t record : removed)
        if (takeable(target.table.Symbol(record))) plan.changes.removed.push_back(record);
    return plan;
}
