#include "compare/compare.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string_view>
#include <utility>

#include "library/text.h"
#include "library/two_threads.h"

namespace {

// Counts never reach past what a table holds.
std::int32_t UsableCount(const SymbolTable& table, std::int32_t count, std::int64_t firstSlot) {
    const std::int64_t most = std::max<std::int64_t>(table.Size() - firstSlot, 0);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(count, 0, most));
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\xA0';
}

std::string_view WithoutBlanksAround(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Which compared fields of `a` and `b` differ; with no option that matters
// for the values, byte for byte.
std::uint8_t Differences(const SymbolEntry& a, const SymbolEntry& b, bool classifications,
                         const ComparisonOptions& options) {
    if (!options.ignoreCase && !options.ignoreBlanks) {
        std::uint8_t bits = a.designation != b.designation ? kDesignationDiffers : 0;
        if (classifications) {
            if (a.classification1 != b.classification1) bits |= kClassification1Differs;
            if (a.classification2 != b.classification2) bits |= kClassification2Differs;
        }
        return bits;
    }
    std::uint8_t bits = SameField(a.designation, b.designation, options) ? 0 : kDesignationDiffers;
    if (classifications) {
        if (!SameField(a.classification1, b.classification1, options))
            bits |= kClassification1Differs;
        if (!SameField(a.classification2, b.classification2, options))
            bits |= kClassification2Differs;
    }
    return bits;
}

// Collects the matches into one comparison value.
class Collector {
public:
    Collector(const SymbolTable& lib1, std::int32_t n1, const SymbolTable& lib2, std::int32_t n2,
              const ComparisonOptions& options) {
        result_.lib1 = {lib1, n1,
                        lib1.HasClassifications() ? LibraryLayout::kLong : LibraryLayout::kShort};
        result_.lib2 = {lib2, n2,
                        lib2.HasClassifications() ? LibraryLayout::kLong : LibraryLayout::kShort};
        result_.options = options;
        result_.classificationsCompared = lib1.HasClassifications() && lib2.HasClassifications() &&
                                          !options.ignoreClassifications;
        marks1_.assign(static_cast<std::size_t>(n1) + 1, 0);
        marks2_.assign(static_cast<std::size_t>(n2) + 1, 0);
    }

    // Says how many pairs the comparison will find; false when too many.
    bool Expect(std::uint64_t pairs) {
        result_.pairCount = pairs;
        if (pairs > kMaxCommonPairs) {
            result_.refused = true;
            return false;
        }
        result_.pairs.reserve(static_cast<std::size_t>(pairs));
        return true;
    }

    // The pair of library-1 record `b` and library-2 record `a`, whose entry
    // `entry` is read once for all its matches.
    MatchedPair Pair(std::int32_t a, std::int32_t b, const SymbolEntry& entry) const {
        return {b, a,
                Differences(result_.lib1.table[b], entry, result_.classificationsCompared,
                            result_.options)};
    }
    void Match(std::int32_t a, std::int32_t b, const SymbolEntry& entry) {
        result_.pairs.push_back(Pair(a, b, entry));
    }
    // Room for the pairs, to be filled in place from several threads.
    MatchedPair* MakeRoom(std::size_t pairs) {
        result_.pairs.resize(pairs);
        return result_.pairs.data();
    }

    // Marks the pairs that may change, by the rule (see Comparison::pairs),
    // on pairs as both comparisons find them: the pairs of one library-2
    // record lie together, with its name's library-1 records in record order,
    // so that a name is known by its first library-1 record and a position
    // in one record's pairs means the same library-1 record in all of them.
    // Linear in the pairs: each record's pairs are looked through at most
    // twice.
    void MarkByTheRule() {
        std::vector<MatchedPair>& pairs = result_.pairs;
        const std::size_t n1 = marks1_.size();
        std::vector<bool> taken1(n1);  // paired off with an identical record
        std::vector<bool> pairedOff2(marks2_.size());
        struct Name {
            std::int32_t leftOver2 = 0;   // library-2 records left over
            std::int32_t nextLeft1 = -1;  // where the next left-over library-1 record is
                                          // looked for; -1 before the name's first record
        };
        std::vector<Name> names(n1);  // by the name's first library-1 record
        const auto name = [&pairs, &names](std::size_t begin) -> Name& {
            return names[static_cast<std::size_t>(pairs[begin].record1)];
        };
        const auto isTaken = [&](std::size_t k) {
            return taken1[static_cast<std::size_t>(pairs[k].record1)];
        };
        // Identical records, one to one: each library-2 record, in record
        // order, takes the first identical library-1 record not yet taken.
        ForEachRecord2([&](std::size_t begin, std::size_t end) {
            std::size_t k = begin;
            while (k < end && (pairs[k].differences != 0 || isTaken(k))) ++k;
            if (k < end) {
                taken1[static_cast<std::size_t>(pairs[k].record1)] = true;
                pairedOff2[static_cast<std::size_t>(pairs[begin].record2)] = true;
            } else {
                ++name(begin).leftOver2;
            }
        });
        // The records left over, in order; a further one of library 2 goes
        // with the name's first library-1 record, a further one of library 1
        // with the name's first library-2 record (the first to come here).
        ForEachRecord2([&](std::size_t begin, std::size_t end) {
            Name& of = name(begin);
            std::int32_t& next = of.nextLeft1;
            if (next < 0) {
                next = 0;
                std::int32_t left1 = 0;
                for (std::size_t k = begin; k < end; ++k)
                    if (!isTaken(k) && left1++ >= of.leftOver2) pairs[k].differences |= kMayChange;
            }
            if (pairedOff2[static_cast<std::size_t>(pairs[begin].record2)]) return;
            std::size_t k = begin + static_cast<std::size_t>(next);
            while (k < end && isTaken(k)) ++k;
            if (k < end) {
                pairs[k].differences |= kMayChange;
                next = static_cast<std::int32_t>(k - begin) + 1;
            } else {
                pairs[begin].differences |= kMayChange;
            }
        });
    }

    // Marks the pairs of `mayChange` (library-1 record, library-2 record).
    void Mark(const std::set<std::pair<std::int32_t, std::int32_t>>& mayChange) {
        for (MatchedPair& pair : result_.pairs) {
            // Copies: the pair is packed, a reference to its fields would be misaligned.
            const std::pair<std::int32_t, std::int32_t> records{std::int32_t{pair.record1},
                                                                std::int32_t{pair.record2}};
            if (mayChange.count(records)) pair.differences |= kMayChange;
        }
    }

    // The comparison, once the pairs that may change are marked.
    Comparison Finish() {
        if (result_.refused) return std::move(result_);
        for (const MatchedPair& pair : result_.pairs) {
            marks1_[static_cast<std::size_t>(pair.record1)] = kMatchMark;
            marks2_[static_cast<std::size_t>(pair.record2)] = kMatchMark;
        }
        KeepMarkedChanges();
        for (std::size_t a = 1; a < marks2_.size(); ++a)
            if (marks2_[a] != kMatchMark) result_.only2.push_back(static_cast<std::int32_t>(a));
        for (std::size_t b = 1; b < marks1_.size(); ++b)
            if (marks1_[b] != kMatchMark) result_.only1.push_back(static_cast<std::int32_t>(b));
        return std::move(result_);
    }

private:
    // Set in a pair's differences while the comparison runs: the rule lets
    // this pair change.
    static constexpr std::uint8_t kMayChange = 0x80;

    // Calls `run(begin, end)` for the pairs of each library-2 record.
    template <typename Run>
    void ForEachRecord2(const Run& run) const {
        const std::vector<MatchedPair>& pairs = result_.pairs;
        for (std::size_t begin = 0, end; begin < pairs.size(); begin = end) {
            end = begin + 1;
            while (end < pairs.size() && pairs[end].record2 == pairs[begin].record2) ++end;
            run(begin, end);
        }
    }

    // A marked pair whose records differ is changed; the differences of all
    // other pairs are cleared.
    void KeepMarkedChanges() {
        for (std::size_t k = 0; k < result_.pairs.size(); ++k) {
            MatchedPair& pair = result_.pairs[k];
            if (!(pair.differences & kMayChange)) {
                pair.differences = 0;
                continue;
            }
            pair.differences &= static_cast<std::uint8_t>(~kMayChange);
            if (pair.differences != 0) result_.changed.push_back(static_cast<std::int32_t>(k));
        }
    }

    // Scratch while the comparison runs: kMatchMark for a record that matched.
    std::vector<std::int32_t> marks1_;
    std::vector<std::int32_t> marks2_;
    Comparison result_;
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

    // `hashes` are those of the names of `lib1`'s records 1 to n1.
    NameIndex(const SymbolTable& lib1, std::int32_t n1, const std::vector<std::size_t>& hashes)
        : lib1_(lib1) {
        std::size_t capacity = 16;
        while (capacity < static_cast<std::size_t>(n1) * 2) capacity *= 2;
        mask_ = capacity - 1;
        buckets_.resize(capacity);
        next_.assign(static_cast<std::size_t>(n1) + 1, 0);
        // From the last record down, so that every chain comes out ascending.
        for (std::int32_t b = n1; b >= 1; --b) {
            const auto at = static_cast<std::size_t>(b);
            if (at > kAhead) Prefetch(hashes[at - kAhead]);
            const std::size_t hash = hashes[at];
            Bucket& bucket = buckets_[Slot(hash, [&lib1, b] { return lib1.Symbol(b); })];
            bucket.hash = hash;
            next_[static_cast<std::size_t>(b)] = bucket.chain.first;
            bucket.chain.first = b;
            ++bucket.chain.count;
        }
    }

    // Asks for the first library-1 record in the bucket where a lookup of
    // `hash` starts, once that bucket is at hand (Prefetch(hash) a few steps
    // earlier): where the hashes agree, the lookup reads that record's name.
    void PrefetchFirstRecord(std::size_t hash) const {
        const Bucket& bucket = buckets_[hash & mask_];
        if (bucket.chain.count != 0 && bucket.hash == hash) lib1_.Prefetch(bucket.chain.first);
    }

    // The records named as `nameOf()` says, whose hash is `hash`.
    template <typename NameOf>
    Chain Find(std::size_t hash, const NameOf& nameOf) const {
        return buckets_[Slot(hash, nameOf)].chain;
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
    // Sixteen bytes: the name is read from the bucket's first record when
    // its hash says it may be the one.
    struct Bucket {
        std::size_t hash = 0;
        Chain chain;  // count 0: the bucket is free
    };

    static std::size_t Hash(std::string_view name) {
        return std::hash<std::string_view>{}(name);
    }

    // The bucket holding the name `nameOf()` with hash `hash`, or the free
    // bucket where it would go. The name is read only when a hash agrees.
    template <typename NameOf>
    std::size_t Slot(std::size_t hash, const NameOf& nameOf) const {
        for (std::size_t at = hash & mask_;; at = (at + 1) & mask_) {
            const Bucket& bucket = buckets_[at];
            if (bucket.chain.count == 0) return at;
            if (bucket.hash == hash && lib1_.Symbol(bucket.chain.first) == nameOf()) return at;
        }
    }

    const SymbolTable& lib1_;
    std::size_t mask_ = 0;
    std::vector<Bucket> buckets_;
    std::vector<std::int32_t> next_;
};

}  // namespace

bool SameField(std::string_view a, std::string_view b, const ComparisonOptions& options) {
    if (options.ignoreBlanks) {
        a = WithoutBlanksAround(a);
        b = WithoutBlanksAround(b);
    }
    if (options.ignoreCase) return a.size() == b.size() && StartsWithIgnoringCase(a, b);
    return a == b;
}

Comparison CompareTables(const SymbolTable& lib1, std::int32_t lib1Count, const SymbolTable& lib2,
                         std::int32_t lib2Count, const ComparisonOptions& options) {
    const std::int32_t n1 = UsableCount(lib1, lib1Count, 1);
    const std::int32_t n2 = UsableCount(lib2, lib2Count, 1);
    Collector collector(lib1, n1, lib2, n2, options);

    // Library 1 is indexed on one thread while the other works out the
    // hashes of library 2's names.
    std::unique_ptr<NameIndex> index;
    std::vector<std::size_t> hashes2;
    BothAtOnce([&] { index = std::make_unique<NameIndex>(lib1, n1, NameIndex::Hashes(lib1, n1)); },
               [&] { hashes2 = NameIndex::Hashes(lib2, n2); });

    // Each library-2 record's first match and number of matches; the first
    // and the second half of the records on a thread each.
    std::vector<std::int32_t> firstMatch(static_cast<std::size_t>(n2) + 1, 0);
    std::vector<std::int32_t> matches(static_cast<std::size_t>(n2) + 1, 0);
    const auto lookUp = [&](std::int32_t from, std::int32_t to) {
        for (std::int32_t a = from; a <= to; ++a) {
            const auto at = static_cast<std::size_t>(a);
            if (const std::size_t ahead = at + NameIndex::kAhead; ahead < hashes2.size())
                index->Prefetch(hashes2[ahead]);
            if (const std::size_t ahead = at + NameIndex::kAhead / 2; ahead < hashes2.size())
                index->PrefetchFirstRecord(hashes2[ahead]);
            const NameIndex::Chain chain =
                index->Find(hashes2[at], [&lib2, a] { return lib2.Symbol(a); });
            firstMatch[at] = chain.first;
            matches[at] = chain.count;
        }
    };
    BothAtOnce([&] { lookUp(1, n2 / 2); }, [&] { lookUp(n2 / 2 + 1, n2); });

    // Where each record's pairs begin, and the record that splits the pairs
    // into two halves of about the same size.
    std::vector<std::uint64_t> pairsBefore(static_cast<std::size_t>(n2) + 2, 0);
    for (std::size_t at = 1; at <= static_cast<std::size_t>(n2); ++at)
        pairsBefore[at + 1] = pairsBefore[at] + static_cast<std::uint64_t>(matches[at]);
    const std::uint64_t pairs = pairsBefore[static_cast<std::size_t>(n2) + 1];
    if (!collector.Expect(pairs)) return collector.Finish();

    MatchedPair* room = collector.MakeRoom(static_cast<std::size_t>(pairs));
    const auto split = static_cast<std::int32_t>(
        std::lower_bound(pairsBefore.begin() + 1, pairsBefore.end(), pairs / 2) -
        pairsBefore.begin());
    const auto match = [&](std::int32_t from, std::int32_t to) {
        for (std::int32_t a = from; a <= to; ++a) {
            const auto at = static_cast<std::size_t>(a);
            // Library 1's records lie anywhere in its file when the names are
            // not in the same order: the one some records ahead is asked for.
            if (const std::size_t ahead = at + NameIndex::kAhead; ahead < firstMatch.size())
                lib1.Prefetch(firstMatch[ahead]);
            if (matches[at] == 0) continue;
            const SymbolEntry entry = lib2[a];
            MatchedPair* pair = room + pairsBefore[at];
            for (std::int32_t b = firstMatch[at]; b != 0; b = index->Next(b))
                *pair++ = collector.Pair(a, b, entry);
        }
    };
    BothAtOnce([&] { match(1, split - 1); }, [&] { match(split, n2); });
    collector.MarkByTheRule();
    return collector.Finish();
}

namespace {

// The pairs that may change, worked out name by name as the rule says it, for
// the nested loop: (library-1 record, library-2 record).
std::set<std::pair<std::int32_t, std::int32_t>> PairsThatMayChange(
    const SymbolTable& lib1, std::int32_t n1, const SymbolTable& lib2, std::int32_t n2,
    bool classifications, const ComparisonOptions& options) {
    std::set<std::pair<std::int32_t, std::int32_t>> mayChange;
    for (std::int32_t first = 1; first <= n2; ++first) {
        const std::string_view name = lib2.Symbol(first);
        bool seen = false;
        for (std::int32_t a = 1; a < first; ++a) seen = seen || lib2.Symbol(a) == name;
        std::vector<std::int32_t> records1, records2, left1, left2;
        for (std::int32_t b = 1; b <= n1; ++b)
            if (lib1.Symbol(b) == name) records1.push_back(b);
        if (seen || records1.empty()) continue;
        for (std::int32_t a = first; a <= n2; ++a)
            if (lib2.Symbol(a) == name) records2.push_back(a);
        std::vector<bool> taken(records1.size());
        for (std::int32_t a : records2) {
            std::size_t j = 0;
            while (j < records1.size() && (taken[j] || Differences(lib1[records1[j]], lib2[a],
                                                                   classifications, options) != 0))
                ++j;
            if (j < records1.size())
                taken[j] = true;
            else
                left2.push_back(a);
        }
        for (std::size_t j = 0; j < records1.size(); ++j)
            if (!taken[j]) left1.push_back(records1[j]);
        for (std::size_t i = 0; i < std::max(left1.size(), left2.size()); ++i)
            mayChange.insert({i < left1.size() ? left1[i] : records1.front(),
                              i < left2.size() ? left2[i] : records2.front()});
    }
    return mayChange;
}

}  // namespace

Comparison CompareTablesNestedLoop(const SymbolTable& lib1, std::int32_t lib1Count,
                                   const SymbolTable& lib2, std::int32_t lib2Count,
                                   const ComparisonOptions& options) {
    const std::int32_t n1 = UsableCount(lib1, lib1Count, 1);
    const std::int32_t n2 = UsableCount(lib2, lib2Count, 1);
    Collector collector(lib1, n1, lib2, n2, options);
    std::uint64_t pairs = 0;
    for (std::int32_t a = 1; a <= n2; ++a)
        for (std::int32_t b = 1; b <= n1; ++b) pairs += lib2.Symbol(a) == lib1.Symbol(b);
    if (collector.Expect(pairs)) {
        for (std::int32_t a = 1; a <= n2; ++a)
            for (std::int32_t b = 1; b <= n1; ++b)
                if (lib2.Symbol(a) == lib1.Symbol(b)) collector.Match(a, b, lib2[a]);
        // The nested loop works out on its own whether classifications count.
        collector.Mark(PairsThatMayChange(lib1, n1, lib2, n2,
                                          lib1.HasClassifications() && lib2.HasClassifications() &&
                                              !options.ignoreClassifications,
                                          options));
    }
    return collector.Finish();
}

void RefreshPairs(Comparison& comparison, std::vector<std::int32_t> pairIndexes) {
    std::sort(pairIndexes.begin(), pairIndexes.end());
    pairIndexes.erase(std::unique(pairIndexes.begin(), pairIndexes.end()), pairIndexes.end());
    std::vector<std::int32_t> nowChanged, noLonger;
    for (const std::int32_t k : pairIndexes) {
        MatchedPair& pair = comparison.pairs[static_cast<std::size_t>(k)];
        const std::uint8_t before = pair.differences;
        pair.differences = Differences(comparison.Record1(pair), comparison.Record2(pair),
                                       comparison.classificationsCompared, comparison.options);
        if ((before != 0) != (pair.differences != 0))
            (pair.differences != 0 ? nowChanged : noLonger).push_back(k);
    }
    if (nowChanged.empty() && noLonger.empty()) return;
    // The changed pairs stay in the order found: that of their indexes.
    std::vector<std::int32_t> changed;
    changed.reserve(comparison.changed.size() + nowChanged.size());
    std::set_union(comparison.changed.begin(), comparison.changed.end(), nowChanged.begin(),
                   nowChanged.end(), std::back_inserter(changed));
    std::vector<std::int32_t> left;
    left.reserve(changed.size());
    std::set_difference(changed.begin(), changed.end(), noLonger.begin(), noLonger.end(),
                        std::back_inserter(left));
    comparison.changed.swap(left);
}
