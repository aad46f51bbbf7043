#include "compare/compare.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

#include "library/text.h"

namespace {

// Counts never reach past what a table holds.
std::int32_t UsableCount(const SymbolTable& table, std::int32_t count, std::int64_t firstSlot) {
    const std::int64_t most = std::max<std::int64_t>(table.Size() - firstSlot, 0);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(count, 0, most));
}

std::uint8_t Differences(const SymbolEntry& a, const SymbolEntry& b, bool classifications) {
    std::uint8_t bits = a.designation != b.designation ? kDesignationDiffers : 0;
    if (classifications) {
        if (a.classification1 != b.classification1) bits |= kClassification1Differs;
        if (a.classification2 != b.classification2) bits |= kClassification2Differs;
    }
    return bits;
}

// Collects the matches, then writes table, count and lists in the agreed order.
class Collector {
public:
    Collector(const SymbolTable& lib1, std::int32_t n1, const SymbolTable& lib2, std::int32_t n2,
              SymbolList& commonList, SymbolList& only1List, SymbolList& only2List)
        : lib1_(lib1),
          lib2_(lib2),
          n1_(n1),
          n2_(n2),
          commonList_(commonList),
          only1List_(only1List),
          only2List_(only2List) {
        only1List.Empty();
        only2List.Empty();
        commonList.Empty();
        result_.lib1Marks.assign(static_cast<std::size_t>(n1) + 1, 0);
        result_.lib2Marks.assign(static_cast<std::size_t>(n2) + 1, 0);
        result_.classificationsCompared = lib1.HasClassifications() && lib2.HasClassifications();
    }

    // Says how many pairs the comparison will find; false when too many.
    bool Expect(std::uint64_t pairs) {
        result_.pairs = pairs;
        if (pairs > kMaxCommonPairs) {
            result_.refused = true;
            return false;
        }
        picks_.reserve(static_cast<std::size_t>(pairs));
        result_.commonLib1Record.reserve(static_cast<std::size_t>(pairs));
        result_.commonLib2Record.reserve(static_cast<std::size_t>(pairs));
        result_.commonDifferences.reserve(static_cast<std::size_t>(pairs));
        return true;
    }

    // `entry` is library-2 record `a`, read once for all its matches.
    void Match(std::int32_t a, std::int32_t b, const SymbolEntry& entry) {
        commonList_.Add(entry.symbol);
        result_.commonDifferences.push_back(
            Differences(lib1_[b], entry, result_.classificationsCompared));
        picks_.push_back(a);
        result_.commonLib1Record.push_back(b);
        result_.commonLib2Record.push_back(a);
        result_.lib1Marks[static_cast<std::size_t>(b)] = kMatchMark;
        result_.lib2Marks[static_cast<std::size_t>(a)] = kMatchMark;
    }

    CompareResult Finish(SymbolTable& common, std::int32_t& commonCount) {
        commonCount = static_cast<std::int32_t>(picks_.size());
        if (result_.refused) {
            common.Replace({}, {});
            return std::move(result_);
        }
        KeepChangesWithoutATwin();
        common.Pick(lib2_, std::move(picks_));
        for (std::int32_t a = 1; a <= n2_; ++a)
            if (result_.lib2Marks[static_cast<std::size_t>(a)] != kMatchMark)
                only2List_.Add(lib2_.Symbol(a));
        for (std::int32_t b = 1; b <= n1_; ++b)
            if (result_.lib1Marks[static_cast<std::size_t>(b)] != kMatchMark)
                only1List_.Add(lib1_.Symbol(b));
        return std::move(result_);
    }

private:
    // A pair whose records differ counts as changed only when neither record
    // has an identical twin among the other library's records of that name:
    // a name held more than once then changes only where a record really has
    // no counterpart, and a file compared with itself shows no change. For a
    // name held once on each side this is simply "the two records differ".
    // The differences of the pairs that do not count are cleared.
    void KeepChangesWithoutATwin() {
        auto& differences = result_.commonDifferences;
        std::vector<bool> twin1(result_.lib1Marks.size()), twin2(result_.lib2Marks.size());
        for (std::size_t k = 0; k < differences.size(); ++k)
            if (differences[k] == 0) {
                twin1[static_cast<std::size_t>(result_.commonLib1Record[k])] = true;
                twin2[static_cast<std::size_t>(result_.commonLib2Record[k])] = true;
            }
        for (std::size_t k = 0; k < differences.size(); ++k) {
            if (differences[k] == 0) continue;
            if (twin1[static_cast<std::size_t>(result_.commonLib1Record[k])] ||
                twin2[static_cast<std::size_t>(result_.commonLib2Record[k])])
                differences[k] = 0;
            else
                result_.changed.push_back(static_cast<std::int32_t>(k));
        }
    }

    const SymbolTable& lib1_;
    const SymbolTable& lib2_;
    std::int32_t n1_;
    std::int32_t n2_;
    SymbolList& commonList_;
    SymbolList& only1List_;
    SymbolList& only2List_;
    std::vector<std::int32_t> picks_;  // common entry -> library-2 record
    CompareResult result_;
};

// Library 1 by name, by open addressing: each bucket holds one name with its
// first record and how many records carry it; Next() chains a name's records
// in ascending order.
class NameIndex {
public:
    struct Chain {
        std::int32_t first = 0;  // 0: no record
        std::int32_t count = 0;
    };

    NameIndex(const SymbolTable& lib1, std::int32_t n1) {
        std::size_t capacity = 16;
        while (capacity < static_cast<std::size_t>(n1) * 2) capacity *= 2;
        mask_ = capacity - 1;
        buckets_.resize(capacity);
        next_.assign(static_cast<std::size_t>(n1) + 1, 0);
        const std::vector<std::size_t> hashes = Hashes(lib1, n1);
        // From the last record down, so that every chain comes out ascending.
        for (std::int32_t b = n1; b >= 1; --b) {
            const auto at = static_cast<std::size_t>(b);
            if (at > kAhead) Prefetch(hashes[at - kAhead]);
            const std::string_view name = lib1.Symbol(b);
            const std::size_t hash = hashes[at];
            Bucket& bucket = buckets_[Slot(name, hash)];
            bucket.name = name;
            bucket.hash = hash;
            next_[static_cast<std::size_t>(b)] = bucket.chain.first;
            bucket.chain.first = b;
            ++bucket.chain.count;
        }
    }

    Chain Find(std::string_view name, std::size_t hash) const {
        return buckets_[Slot(name, hash)].chain;
    }

    // The hash of each record's name, slot 0 unused.
    static std::vector<std::size_t> Hashes(const SymbolTable& table, std::int32_t n) {
        std::vector<std::size_t> hashes(static_cast<std::size_t>(n) + 1, 0);
        for (std::int32_t r = 1; r <= n; ++r)
            hashes[static_cast<std::size_t>(r)] = Hash(table.Symbol(r));
        return hashes;
    }

    // Buckets lie far apart in memory: asking for the one a name a few steps
    // ahead needs lets the wait for it overlap with the work on this one.
    static constexpr std::size_t kAhead = 16;
    void Prefetch([[maybe_unused]] std::size_t hash) const {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(&buckets_[hash & mask_]);
#endif
    }
    std::int32_t Next(std::int32_t record) const {
        return next_[static_cast<std::size_t>(record)];
    }

private:
    struct Bucket {
        std::string_view name;
        std::size_t hash = 0;
        Chain chain;  // count 0: the bucket is free
    };

    static std::size_t Hash(std::string_view name) {
        return std::hash<std::string_view>{}(name);
    }

    // The bucket holding `name`, or the free bucket where it would go.
    std::size_t Slot(std::string_view name, std::size_t hash) const {
        for (std::size_t at = hash & mask_;; at = (at + 1) & mask_) {
            const Bucket& bucket = buckets_[at];
            if (bucket.chain.count == 0 || (bucket.hash == hash && bucket.name == name)) return at;
        }
    }

    std::size_t mask_ = 0;
    std::vector<Bucket> buckets_;
    std::vector<std::int32_t> next_;
};

}  // namespace

CompareResult CompareTables(const SymbolTable& lib1, std::int32_t lib1Count,
                            const SymbolTable& lib2, std::int32_t lib2Count, SymbolTable& common,
                            std::int32_t& commonCount, SymbolList& commonList,
                            SymbolList& only1List, SymbolList& only2List) {
    const std::int32_t n1 = UsableCount(lib1, lib1Count, 1);
    const std::int32_t n2 = UsableCount(lib2, lib2Count, 1);
    Collector collector(lib1, n1, lib2, n2, commonList, only1List, only2List);

    const NameIndex index(lib1, n1);

    // Each library-2 record's first match, and how many pairs there will be.
    std::vector<std::int32_t> firstMatch(static_cast<std::size_t>(n2) + 1, 0);
    std::uint64_t pairs = 0;
    const std::vector<std::size_t> hashes = NameIndex::Hashes(lib2, n2);
    for (std::int32_t a = 1; a <= n2; ++a) {
        const auto at = static_cast<std::size_t>(a);
        if (at + NameIndex::kAhead < hashes.size()) index.Prefetch(hashes[at + NameIndex::kAhead]);
        const NameIndex::Chain chain = index.Find(lib2.Symbol(a), hashes[at]);
        firstMatch[static_cast<std::size_t>(a)] = chain.first;
        pairs += static_cast<std::uint64_t>(chain.count);
    }

    if (collector.Expect(pairs))
        for (std::int32_t a = 1; a <= n2; ++a) {
            const std::int32_t first = firstMatch[static_cast<std::size_t>(a)];
            if (first == 0) continue;
            const SymbolEntry entry = lib2[a];
            for (std::int32_t b = first; b != 0; b = index.Next(b)) collector.Match(a, b, entry);
        }
    return collector.Finish(common, commonCount);
}

CompareResult CompareTablesNestedLoop(const SymbolTable& lib1, std::int32_t lib1Count,
                                      const SymbolTable& lib2, std::int32_t lib2Count,
                                      SymbolTable& common, std::int32_t& commonCount,
                                      SymbolList& commonList, SymbolList& only1List,
                                      SymbolList& only2List) {
    const std::int32_t n1 = UsableCount(lib1, lib1Count, 1);
    const std::int32_t n2 = UsableCount(lib2, lib2Count, 1);
    Collector collector(lib1, n1, lib2, n2, commonList, only1List, only2List);
    std::uint64_t pairs = 0;
    for (std::int32_t a = 1; a <= n2; ++a)
        for (std::int32_t b = 1; b <= n1; ++b) pairs += lib2.Symbol(a) == lib1.Symbol(b);
    if (collector.Expect(pairs))
        for (std::int32_t a = 1; a <= n2; ++a)
            for (std::int32_t b = 1; b <= n1; ++b)
                if (lib2.Symbol(a) == lib1.Symbol(b)) collector.Match(a, b, lib2[a]);
    return collector.Finish(common, commonCount);
}

CompareResult CompareLibraries(SymbolList& commonList, SymbolList& only1List,
                               SymbolList& only2List) {
    return CompareTables(lib1Table, lib1Count, lib2Table, lib2Count, commonTable, commonCount,
                         commonList, only1List, only2List);
}

namespace {

// A record with the hash of its loose name.
using HashedRecord = std::pair<std::uint64_t, std::int32_t>;

// A library's unmatched records by the hash of their loose name, in record
// order within one hash.
std::vector<HashedRecord> UnmatchedByLooseHash(const SymbolTable& lib,
                                               const std::vector<std::int32_t>& marks) {
    std::vector<HashedRecord> records;
    for (std::size_t r = 1; r < marks.size(); ++r)
        if (marks[r] != kMatchMark)
            records.emplace_back(LooseNameHash(lib.Symbol(static_cast<std::int64_t>(r))),
                                 static_cast<std::int32_t>(r));
    std::sort(records.begin(), records.end());
    return records;
}

// Records with one hash: [first, second).
using Group =
    std::pair<std::vector<HashedRecord>::const_iterator, std::vector<HashedRecord>::const_iterator>;

// For each record of `group`, the first record of `others` whose name it
// matches loosely, if any, as (record, near miss).
void MatchGroup(const SymbolTable& lib, Group group, const SymbolTable& other, Group others,
                std::vector<std::pair<std::int32_t, NearMiss>>& found) {
    for (auto at = group.first; at != group.second; ++at) {
        const std::string_view name = lib.Symbol(at->second);
        for (auto o = others.first; o != others.second; ++o)
            if (const std::string_view counterpart = other.Symbol(o->second);
                SameLooseName(name, counterpart)) {
                found.push_back({at->second, {name, counterpart}});
                break;
            }
    }
}

std::vector<NearMiss> InRecordOrder(std::vector<std::pair<std::int32_t, NearMiss>> found) {
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<NearMiss> misses;
    misses.reserve(found.size());
    for (const auto& f : found) misses.push_back(f.second);
    return misses;
}

}  // namespace

NearMissLists NearMisses(const SymbolTable& lib1, const std::vector<std::int32_t>& lib1Marks,
                         const SymbolTable& lib2, const std::vector<std::int32_t>& lib2Marks) {
    // Both sides sorted by hash and walked side by side: only records whose
    // hashes agree are compared.
    const auto one = UnmatchedByLooseHash(lib1, lib1Marks);
    const auto two = UnmatchedByLooseHash(lib2, lib2Marks);
    std::vector<std::pair<std::int32_t, NearMiss>> found1, found2;
    auto i = one.cbegin();
    auto j = two.cbegin();
    while (i != one.cend() && j != two.cend()) {
        if (i->first < j->first) {
            ++i;
            continue;
        }
        if (j->first < i->first) {
            ++j;
            continue;
        }
        const std::uint64_t hash = i->first;
        const Group g1{i, std::find_if(i, one.cend(), [hash](auto& r) { return r.first != hash; })};
        const Group g2{j, std::find_if(j, two.cend(), [hash](auto& r) { return r.first != hash; })};
        MatchGroup(lib1, g1, lib2, g2, found1);
        MatchGroup(lib2, g2, lib1, g1, found2);
        i = g1.second;
        j = g2.second;
    }
    return {InRecordOrder(std::move(found1)), InRecordOrder(std::move(found2))};
}

std::string GermanNumber(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, '.');
    return digits;
}

std::string TooManyPairsMessage(const std::string& file1, const std::string& file2,
                                std::uint64_t pairs) {
    return "Der Vergleich von „" + file1 + "“ mit „" + file2 + "“ ergäbe " + GermanNumber(pairs) +
           " gemeinsame Einträge, weil Symbolnamen in beiden Bibliotheken mehrfach vorkommen "
           "(jedes Paar zählt einzeln). Mehr als " +
           GermanNumber(kMaxCommonPairs) + " Einträge werden nicht verglichen.";
}
