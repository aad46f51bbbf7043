// The indexed comparison against the plain nested loop on two full tables of
// the old size (2,504 records each): same results, and how much faster.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "compare/compare.h"

namespace {

class CollectingList : public SymbolList {
public:
    void Empty() override { names.clear(); }
    void Add(std::string_view name) override { names.emplace_back(name); }
    std::vector<std::string> names;
};

struct Run {
    CollectingList common, only1, only2;
    SymbolTable table;
    std::int32_t count = 0;
    Comparison result;
    double seconds = 0;
};

template <typename Compare>
void Measure(Run& run, const SymbolTable& t1, const SymbolTable& t2, std::int32_t n,
             Compare compare) {
    const auto start = std::chrono::steady_clock::now();
    run.result = compare(t1, n, t2, n, ComparisonOptions{});
    PublishComparison(run.result, run.table, run.count, run.common, run.only1, run.only2);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    constexpr std::int32_t n = 2504;
    std::mt19937 random(7);
    SymbolTable t1, t2;
    auto name = [&random] {
        std::string s = "SYM" + std::to_string(random() % 3000);  // duplicates and misses
        if (random() % 10 == 0) s[0] = 's';                       // case variants
        return s;
    };
    for (std::int32_t i = 1; i <= n; ++i) {
        t1.Assign(i, name(), "d1");
        t2.Assign(i, name(), random() % 4 ? "d1" : "d2");
    }
    Run indexed, nested;
    Measure(indexed, t1, t2, n, CompareTables);
    Measure(nested, t1, t2, n, CompareTablesNestedLoop);

    bool same = indexed.common.names == nested.common.names &&
                indexed.only1.names == nested.only1.names &&
                indexed.only2.names == nested.only2.names && indexed.count == nested.count &&
                indexed.result.SameFindings(nested.result);
    for (std::int32_t k = 0; same && k < indexed.count; ++k)
        same = indexed.table[k].symbol == nested.table[k].symbol &&
               indexed.table[k].designation == nested.table[k].designation;
    std::printf("2504 x 2504: %d common, %zu only in 1, %zu only in 2, %zu changed\n",
                indexed.count, indexed.only1.names.size(), indexed.only2.names.size(),
                indexed.result.changed.size());
    std::printf("nested loop %.2f ms, indexed %.2f ms (%.0f x faster), results %s\n",
                nested.seconds * 1e3, indexed.seconds * 1e3, nested.seconds / indexed.seconds,
                same ? "identical" : "DIFFERENT");
    return same ? 0 : 1;
}
