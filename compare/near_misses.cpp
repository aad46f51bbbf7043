// Names only in one library that a name only in the other matches but for
// case and surrounding blanks.

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "compare/compare.h"
#include "library/text.h"

namespace {

// A record with the hash of its loose name.
using HashedRecord = std::pair<std::uint64_t, std::int32_t>;

// A library's unmatched records with the hashes of their loose names, in
// record order.
std::vector<HashedRecord> LooseHashes(const SymbolTable& lib,
                                      const std::vector<std::int32_t>& unmatched) {
    std::vector<HashedRecord> records;
    records.reserve(unmatched.size());
    for (std::size_t i = 0; i < unmatched.size(); ++i) {
        lib.PrefetchAhead(unmatched, i);
        records.emplace_back(LooseNameHash(lib.Symbol(unmatched[i])), unmatched[i]);
    }
    return records;
}

// A bit for each hash of one side, in sixteen times as many bits as it has
// records: a record of the other side whose bit is not set has no near miss.
// Most have none, so that only a few are left to sort.
class HashSieve {
public:
    explicit HashSieve(const std::vector<HashedRecord>& records) {
        std::size_t size = 64;
        while (size < records.size() * 16) size *= 2;
        mask_ = size - 1;
        bits_.assign(size / 64, 0);
        for (const HashedRecord& r : records) bits_[(r.first & mask_) / 64] |= Bit(r.first);
    }
    bool MayHold(std::uint64_t hash) const { return bits_[(hash & mask_) / 64] & Bit(hash); }

private:
    static std::uint64_t Bit(std::uint64_t hash) { return std::uint64_t{1} << (hash % 64); }
    std::uint64_t mask_ = 0;
    std::vector<std::uint64_t> bits_;
};

// The records of `records` that `other` may hold a near miss of, by hash, in
// record order within one hash.
std::vector<HashedRecord> Candidates(std::vector<HashedRecord> records, const HashSieve& other) {
    std::erase_if(records, [&other](const HashedRecord& r) { return !other.MayHold(r.first); });
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
                found.push_back({at->second, {name, counterpart, at->second}});
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

NearMissLists NearMisses(const Comparison& comparison) {
    // Both sides sorted by hash and walked side by side: only records whose
    // hashes agree are compared.
    const SymbolTable& lib1 = comparison.lib1.table;
    const SymbolTable& lib2 = comparison.lib2.table;
    std::vector<HashedRecord> one = LooseHashes(lib1, comparison.only1);
    std::vector<HashedRecord> two = LooseHashes(lib2, comparison.only2);
    const HashSieve sieve1(one), sieve2(two);
    one = Candidates(std::move(one), sieve2);
    two = Candidates(std::move(two), sieve1);
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
