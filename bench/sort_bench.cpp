// The sort in display order alone, on the names of a library copied into one
// block (as the dialog's lists hold them): sorted as they stand in the file,
// and shuffled.
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
        std::vector<std::uint32_t> sorted;
        const double took = Best(
            *ids, repeats, [&](auto& v) { SortForDisplay(v, nameOf); }, sorted);
        std::printf("sort of %d names %s: %.1f ms (best of %d)\n", count, what, took * 1e3,
                    repeats);
    }
    return 0;
}
