// The sort in display order alone, on the names of a library copied into one
// block (as the dialog's lists hold them): a million names sorted as they
// stand in the file and shuffled, against a comparison sort on the same key
// prefixes (what the lists used before the radix sort).
//
//   sort_bench LIBRARY [REPEATS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "library/library_reader.h"
#include "library/text.h"

namespace {

// The comparison sort on the key prefixes, equal prefixes by the full
// comparison, equal names by place.
template <typename NameOf>
void ComparisonSort(std::vector<std::uint32_t>& ids, const NameOf& nameOf) {
    std::vector<DisplaySortItem> items(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) items[i] = {DisplayKeyPrefixOf(nameOf(ids[i])), i};
    std::sort(items.begin(), items.end(), [&](const DisplaySortItem& a, const DisplaySortItem& b) {
        if (a.key.high != b.key.high) return a.key.high < b.key.high;
        if (a.key.low != b.key.low) return a.key.low < b.key.low;
        if (const int c = CompareForDisplay(nameOf(ids[a.at]), nameOf(ids[b.at]))) return c < 0;
        return a.at < b.at;
    });
    std::vector<std::uint32_t> sorted;
    sorted.reserve(ids.size());
    for (const DisplaySortItem& item : items) sorted.push_back(ids[item.at]);
    ids.swap(sorted);
}

template <typename Sort>
double Best(const std::vector<std::uint32_t>& ids, int repeats, const Sort& sort,
            std::vector<std::uint32_t>& result) {
    double best = 1e9;
    for (int r = 0; r < repeats; ++r) {
        result = ids;
        const auto start = std::chrono::steady_clock::now();
        sort(result);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: sort_bench LIBRARY [REPEATS]\n");
        return 2;
    }
    const int repeats = argc == 3 ? std::atoi(argv[2]) : 5;
    SymbolTable table;
    std::int32_t count = 0;
    DiscardingSymbolList list;
    if (!ReadLibraryFile(argv[1], table, count, list)) {
        std::fprintf(stderr, "sort_bench: %s not read\n", argv[1]);
        return 1;
    }
    std::string arena;
    std::vector<std::size_t> starts = {0};
    for (std::int64_t slot = 1; slot <= count; ++slot) {
        arena += table.Symbol(slot);
        starts.push_back(arena.size());
    }
    const auto nameOf = [&](std::uint32_t id) {
        return std::string_view(arena).substr(starts[id], starts[id + 1] - starts[id]);
    };
    std::vector<std::uint32_t> inFile(static_cast<std::size_t>(count));
    for (std::uint32_t id = 0; id < inFile.size(); ++id) inFile[id] = id;
    std::vector<std::uint32_t> shuffled = inFile;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(1));
    for (const auto& [what, ids] :
         {std::pair{"as in the file", &inFile}, {"shuffled", &shuffled}}) {
        std::vector<std::uint32_t> fast, plain;
        const double radix = Best(
            *ids, repeats, [&](auto& v) { SortForDisplay(v, nameOf); }, fast);
        const double comparison = Best(
            *ids, repeats, [&](auto& v) { ComparisonSort(v, nameOf); }, plain);
        std::printf("sort of %d names %s: %.1f ms, comparison sort %.1f ms (best of %d)%s\n", count,
                    what, radix * 1e3, comparison * 1e3, repeats,
                    fast == plain ? "" : "  DIFFERENT ORDER");
    }
    return 0;
}
