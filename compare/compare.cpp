#include "compare/compare.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

namespace {

// Counts never reach past what a table holds.
std::int32_t UsableCount(const SymbolTable& table, std::int32_t count, std::int64_t firstSlot) {
    const std::int64_t most = std::max<std::int64_t>(table.Size() - firstSlot, 0);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(count, 0, most));
}

bool FieldsDiffer(const SymbolEntry& a, const SymbolEntry& b) {
    return a.designation != b.designation || a.classification1 != b.classification1 ||
           a.classification2 != b.classification2;
}

// Collects the matches, then writes table, count and lists in the agreed order.
class Collector {
public:
    Collector(const SymbolTable& lib1, std::int32_t n1, const SymbolTable& lib2, std::int32_t n2)
        : lib1_(lib1), lib2_(lib2), n1_(n1), n2_(n2) {
        result_.lib1Marks.assign(static_cast<std::size_t>(n1) + 1, 0);
        result_.lib2Marks.assign(static_cast<std::size_t>(n2) + 1, 0);
        // Usually no more matches than library-2 records; more just grow.
        fresh_.reserve(static_cast<std::size_t>(n2));
        result_.commonLib1Record.reserve(static_cast<std::size_t>(n2));
        result_.commonLib2Record.reserve(static_cast<std::size_t>(n2));
    }

    void Begin(SymbolList& commonList, SymbolList& only1List, SymbolList& only2List) {
        only1List.Empty();
        only2List.Empty();
        commonList.Empty();
        commonList_ = &commonList;
    }

    void Match(std::int32_t a, std::int32_t b) {
        const SymbolEntry& entry = lib2_[a];
        commonList_->Add(entry.symbol);
        if (FieldsDiffer(lib1_[b], entry))
            result_.changed.push_back(static_cast<std::int32_t>(fresh_.size()));
        fresh_.push_back(entry);
        result_.commonLib1Record.push_back(b);
        result_.commonLib2Record.push_back(a);
        result_.lib1Marks[static_cast<std::size_t>(b)] = kMatchMark;
        result_.lib2Marks[static_cast<std::size_t>(a)] = kMatchMark;
    }

    CompareResult Finish(SymbolTable& common, std::int32_t& commonCount, SymbolList& only1List,
                         SymbolList& only2List) {
        commonCount = static_cast<std::int32_t>(fresh_.size());
        common.Replace(std::move(fresh_), lib2_.Storage());
        for (std::int32_t a = 1; a <= n2_; ++a)
            if (result_.lib2Marks[static_cast<std::size_t>(a)] != kMatchMark)
                only2List.Add(lib2_[a].symbol);
        for (std::int32_t b = 1; b <= n1_; ++b)
            if (result_.lib1Marks[static_cast<std::size_t>(b)] != kMatchMark)
                only1List.Add(lib1_[b].symbol);
        return std::move(result_);
    }

private:
    const SymbolTable& lib1_;
    const SymbolTable& lib2_;
    std::int32_t n1_;
    std::int32_t n2_;
    SymbolList* commonList_ = nullptr;
    SlotVector fresh_;
    CompareResult result_;
};

inline void Prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// Open-addressing index of library 1 by name: each bucket holds the first
// record of one name; `next` chains that name's records in ascending order.
class NameIndex {
public:
    NameIndex(const SymbolTable& lib1, std::int32_t n1) {
        std::size_t capacity = 16;
        while (capacity < static_cast<std::size_t>(n1) * 2) capacity *= 2;
        mask_ = capacity - 1;
        buckets_.assign(capacity, Bucket{});
        next_.assign(static_cast<std::size_t>(n1) + 1, 0);
        // Inserting from the last record down leaves every chain ascending.
        ForEachHashed(
            n1, [&](std::int32_t i) { return lib1[n1 + 1 - i].symbol; },
            [&](std::int32_t i, std::string_view name, std::size_t hash) {
                const std::int32_t b = n1 + 1 - i;
                Bucket& bucket = buckets_[Find(name, hash)];
                next_[static_cast<std::size_t>(b)] = bucket.head;
                bucket.head = b;
                bucket.tag = Tag(hash);
                bucket.name = name.data();
                bucket.size = name.size();
            });
    }

    // Calls visit(i, first library-1 record named name(i) or 0) for i = 1..count.
    template <typename NameOf, typename Visit>
    void Lookup(std::int32_t count, const NameOf& nameOf, const Visit& visit) const {
        ForEachHashed(count, nameOf, [&](std::int32_t i, std::string_view name, std::size_t hash) {
            visit(i, buckets_[Find(name, hash)].head);
        });
    }

    std::int32_t Next(std::int32_t record) const { return next_[static_cast<std::size_t>(record)]; }

private:
    struct Bucket {
        const char* name = nullptr;
        std::size_t size = 0;
        std::int32_t head = 0;  // 0: empty
        std::uint32_t tag = 0;  // upper bits of the name's hash
    };

    static std::size_t Hash(std::string_view name) { return std::hash<std::string_view>{}(name); }
    static std::uint32_t Tag(std::size_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

    // Walks i = 1..count with each name's hash worked out a few steps ahead,
    // so that its bucket is already on its way into the cache.
    template <typename NameOf, typename Visit>
    void ForEachHashed(std::int32_t count, const NameOf& nameOf, const Visit& visit) const {
        constexpr std::int32_t kAhead = 8;
        std::size_t ahead[kAhead];
        auto prepare = [&](std::int32_t i) {
            const std::size_t hash = Hash(nameOf(i));
            ahead[i % kAhead] = hash;
            Prefetch(&buckets_[hash & mask_]);
        };
        for (std::int32_t i = 1; i <= count && i <= kAhead; ++i) prepare(i);
        for (std::int32_t i = 1; i <= count; ++i) {
            const std::size_t hash = ahead[i % kAhead];
            if (i + kAhead <= count) prepare(i + kAhead);
            visit(i, nameOf(i), hash);
        }
    }

    // The bucket holding `name`, or the empty bucket where it would go.
    std::size_t Find(std::string_view name, std::size_t hash) const {
        const std::uint32_t tag = Tag(hash);
        std::size_t at = hash & mask_;
        for (;; at = (at + 1) & mask_) {
            const Bucket& bucket = buckets_[at];
            if (bucket.head == 0) return at;
            if (bucket.tag == tag && std::string_view(bucket.name, bucket.size) == name) return at;
        }
    }

    std::size_t mask_ = 0;
    LargeVector<Bucket> buckets_;
    LargeVector<std::int32_t> next_;
};

}  // namespace

CompareResult CompareTables(const SymbolTable& lib1, std::int32_t lib1Count,
                            const SymbolTable& lib2, std::int32_t lib2Count, SymbolTable& common,
                            std::int32_t& commonCount, SymbolList& commonList,
                            SymbolList& only1List, SymbolList& only2List) {
    const std::int32_t n1 = UsableCount(lib1, lib1Count, 1);
    const std::int32_t n2 = UsableCount(lib2, lib2Count, 1);
    Collector collector(lib1, n1, lib2, n2);
    collector.Begin(commonList, only1List, only2List);
    const NameIndex index(lib1, n1);
    index.Lookup(
        n2, [&lib2](std::int32_t a) { return lib2[a].symbol; },
        [&](std::int32_t a, std::int32_t first) {
            for (std::int32_t b = first; b != 0; b = index.Next(b)) collector.Match(a, b);
        });
    return collector.Finish(common, commonCount, only1List, only2List);
}

CompareResult CompareTablesNestedLoop(const SymbolTable& lib1, std::int32_t lib1Count,
                                      const SymbolTable& lib2, std::int32_t lib2Count,
                                      SymbolTable& common, std::int32_t& commonCount,
                                      SymbolList& commonList, SymbolList& only1List,
                                      SymbolList& only2List) {
    const std::int32_t n1 = UsableCount(lib1, lib1Count, 1);
    const std::int32_t n2 = UsableCount(lib2, lib2Count, 1);
    Collector collector(lib1, n1, lib2, n2);
    collector.Begin(commonList, only1List, only2List);
    for (std::int32_t a = 1; a <= n2; ++a)
        for (std::int32_t b = 1; b <= n1; ++b)
            if (lib2[a].symbol == lib1[b].symbol) collector.Match(a, b);
    return collector.Finish(common, commonCount, only1List, only2List);
}

CompareResult CompareLibraries(SymbolList& commonList, SymbolList& only1List,
                               SymbolList& only2List) {
    return CompareTables(lib1Table, lib1Count, lib2Table, lib2Count, commonTable, commonCount,
                         commonList, only1List, only2List);
}
