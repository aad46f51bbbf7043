// The steps of a take-over, each timed: reading both libraries, comparing,
// planning, making the new file's bytes and saving them.
//
//   take_bench LIB1 LIB2 OUT
#include <chrono>
#include <cstdio>

#include "compare/take_over.h"
#include "library/library_reader.h"

namespace {

double Since(std::chrono::steady_clock::time_point& start) {
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - start).count();
    start = now;
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: take_bench LIB1 LIB2 OUT\n");
        return 2;
    }
    auto clock = std::chrono::steady_clock::now();
    SymbolTable tables[2];
    std::int32_t counts[2] = {0, 0};
    LibraryLayout layouts[2] = {};
    for (int i = 0; i < 2; ++i) {
        DiscardingSymbolList names;
        const ReadResult read = ReadLibraryFile(argv[1 + i], tables[i], counts[i], names);
        if (!read) return 1;
        layouts[i] = read.layout;
    }
    const double reading = Since(clock);
    const Comparison comparison = CompareTables(tables[0], counts[0], tables[1], counts[1]);
    const double comparing = Since(clock);
    constexpr TakeDirection kInto2 = TakeDirection::kIntoLibrary2;
    const TakeOverPlan plan =
        PlanTakeOver(comparison, kInto2,
                     SelectKinds(comparison, kInto2, kTakeChanged | kTakeAdded | kTakeRemoved));
    const double planning = Since(clock);
    const ChangedLibrary result =
        ApplyChanges(tables[1].FileView(), layouts[1], counts[1], plan.changes);
    if (!result) return 1;
    const double applying = Since(clock);
    if (!SaveLibraryFile(argv[3], result.bytes)) return 1;
    const double saving = Since(clock);
    std::printf(
        "%zu changed, %zu added, %zu removed: read %.3f s, compare %.3f s, plan %.3f s, "
        "apply %.3f s, save %.3f s\n",
        plan.changes.changed.size(), plan.changes.added.size(), plan.changes.removed.size(),
        reading, comparing, planning, applying, saving);
    return 0;
}
