#include "compare/take_over.h"

#include <algorithm>
#include <functional>
#include <string>
#include <type_traits>
#include <unordered_set>

namespace {

std::string_view WholeRecord(const ComparedLibrary& library, std::int32_t record) {
    const std::uint64_t size =
        library.layout == LibraryLayout::kLong ? kLongRecordSize : kShortRecordSize;
    const std::uint64_t start = kRecordBase + static_cast<std::uint64_t>(record) * size;
    const std::string_view file = library.table.FileView();
    return start < file.size() ? file.substr(start, size) : std::string_view();
}

// Names, each with a count: open addressing over a flat array, so that a
// lookup costs one probe in most cases where a node-based map chases
// pointers (a million lookups per take-over).
class NameCounts {
public:
    struct Slot {
        std::string_view name;
        std::uint64_t hash = 0;
        std::int32_t count = -1;  // -1: an empty slot
        bool reported = false;
    };

    explicit NameCounts(std::size_t names) {
        std::size_t capacity = 16;
        while (capacity < 2 * names) capacity *= 2;
        slots_.resize(capacity);
        mask_ = capacity - 1;
        filter_.resize(std::min<std::size_t>(capacity * 8, std::size_t{1} << 22) / 64);
    }

    bool Empty() const { return size_ == 0; }

    // The slot of `name`, added with the count 0 when `add`; null when the
    // name is not there and not added.
    Slot* Find(std::string_view name, bool add) {
        const std::uint64_t hash = std::hash<std::string_view>{}(name);
        // One bit a hash in a small array answers most lookups of names not
        // there without touching the slots.
        const std::uint64_t bit = (hash >> 32) % (filter_.size() * 64);
        std::uint64_t& word = filter_[bit / 64];
        const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
        if (!add && !(word & mask)) return nullptr;
        word |= mask;
        for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.count < 0) {
                if (!add) return nullptr;
                slot = {name, hash, 0, false};
                ++size_;
                return &slot;
            }
            if (slot.hash == hash && slot.name == name) return &slot;
        }
    }

    // Counts `name` once more, where it is there.
    void Count(std::string_view name) {
        if (Slot* slot = Find(name, false)) ++slot->count;
    }

private:
    std::vector<Slot> slots_;
    std::vector<std::uint64_t> filter_;
    std::size_t mask_ = 0;
    std::size_t size_ = 0;
};

bool HasClassification(const SymbolEntry& entry) {
    return !entry.classification1.empty() || !entry.classification2.empty();
}

}  // namespace

PairCounts::PairCounts(const Comparison& comparison) : pairs_(&comparison.pairs) {
    of1_.assign(static_cast<std::size_t>(comparison.lib1.count) + 1, 0);
    first1_.assign(of1_.size(), -1);
    for (std::size_t k = 0; k < comparison.pairs.size(); ++k) {
        const auto r1 = static_cast<std::size_t>(comparison.pairs[k].record1);
        if (of1_[r1]++ == 0) first1_[r1] = static_cast<std::int32_t>(k);
    }
}

std::pair<std::size_t, std::size_t> PairCounts::PairsOf2(std::int32_t record) const {
    if (!pairs_) return {0, 0};
    const auto [begin, end] =
        std::equal_range(pairs_->begin(), pairs_->end(), record, [](const auto& a, const auto& b) {
            if constexpr (std::is_same_v<std::decay_t<decltype(a)>, MatchedPair>)
                return a.record2 < b;
            else
                return a < b.record2;
        });
    return {static_cast<std::size_t>(begin - pairs_->begin()),
            static_cast<std::size_t>(end - pairs_->begin())};
}

std::int32_t PairCounts::Of1(std::int32_t record) const {
    return record >= 0 && static_cast<std::size_t>(record) < of1_.size()
               ? of1_[static_cast<std::size_t>(record)]
               : 0;
}

std::int32_t PairCounts::Of2(std::int32_t record) const {
    const auto [begin, end] = PairsOf2(record);
    return static_cast<std::int32_t>(end - begin);
}

bool PairCounts::Sole(std::int32_t k) const {
    if (!pairs_ || k < 0 || static_cast<std::size_t>(k) >= pairs_->size()) return false;
    const auto at = static_cast<std::size_t>(k);
    const std::vector<MatchedPair>& pairs = *pairs_;
    // The neighbours in the pairs' order belong to other library-2 records.
    return Of1(pairs[at].record1) == 1 && (at == 0 || pairs[at - 1].record2 != pairs[at].record2) &&
           (at + 1 == pairs.size() || pairs[at + 1].record2 != pairs[at].record2);
}

std::int32_t PairCounts::SolePairOf1(std::int32_t record) const {
    if (Of1(record) != 1) return -1;
    const std::int32_t k = first1_[static_cast<std::size_t>(record)];
    return Sole(k) ? k : -1;
}

std::int32_t PairCounts::SolePairOf2(std::int32_t record) const {
    const auto [begin, end] = PairsOf2(record);
    if (end - begin != 1) return -1;
    const auto k = static_cast<std::int32_t>(begin);
    return Sole(k) ? k : -1;
}

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
                          const TakeSelection& selection, const PairCounts* counts) {
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

    // A selected name held more than once in either library is left out
    // whole. Every such name has more than one entry among the pairs and the
    // records only in one library: a name both hold has a pair for each
    // record of the side that holds it more often, a name only one holds a
    // record only in that library for each time.
    const bool pairsAlone = counts && only1.empty() && only2.empty();
    std::unordered_set<std::string_view> reported;
    NameCounts entries(pairsAlone ? 0 : pairs.size() + only1.size() + only2.size());
    for (const std::int32_t k : pairsAlone ? std::vector<std::int32_t>() : pairs)
        entries.Find(comparison.lib1.table.Symbol(comparison.pairs[k].record1), true);
    for (const std::int32_t record : only1)
        entries.Find(comparison.lib1.table.Symbol(record), true);
    for (const std::int32_t record : only2)
        entries.Find(comparison.lib2.table.Symbol(record), true);
    if (!entries.Empty()) {
        // Library 2's records, whose order the pairs follow.
        for (const MatchedPair& pair : comparison.pairs)
            entries.Count(comparison.lib2.table.Symbol(pair.record2));
        for (const std::int32_t record : comparison.only1)
            entries.Count(comparison.lib1.table.Symbol(record));
        for (const std::int32_t record : comparison.only2)
            entries.Count(comparison.lib2.table.Symbol(record));
    }
    // Whether `name` may be taken; a name that may not is reported once.
    const auto takeable = [&](std::string_view name) {
        if (pairsAlone) return true;  // weighed by the counts
        NameCounts::Slot& slot = *entries.Find(name, false);
        if (slot.count <= 1) return true;
        if (!slot.reported) {
            plan.skipped.push_back({name, 0, 0});
            slot.reported = true;
        }
        return false;
    };

    for (const std::int32_t k : pairs) {
        const MatchedPair& pair = comparison.pairs[k];
        if (pairsAlone && !counts->Sole(k)) {
            // Reported once, at the name's first pair chosen.
            const std::string_view name = comparison.lib1.table.Symbol(pair.record1);
            if (reported.insert(name).second)
                plan.skipped.push_back(
                    {name, counts->Of2(pair.record2), counts->Of1(pair.record1)});
            continue;
        }
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

    // How often each library holds the names left out.
    if (!plan.skipped.empty() && !pairsAlone) {
        NameCounts times1(plan.skipped.size()), times2(plan.skipped.size());
        for (const NameHeldMoreThanOnce& name : plan.skipped) {
            times1.Find(name.name, true);
            times2.Find(name.name, true);
        }
        for (std::int32_t r = 1; r <= comparison.lib1.count; ++r)
            times1.Count(comparison.lib1.table.Symbol(r));
        for (std::int32_t r = 1; r <= comparison.lib2.count; ++r)
            times2.Count(comparison.lib2.table.Symbol(r));
        for (NameHeldMoreThanOnce& name : plan.skipped) {
            name.times1 = times1.Find(name.name, false)->count;
            name.times2 = times2.Find(name.name, false)->count;
        }
    }
    return plan;
}
