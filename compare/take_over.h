#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "compare/compare.h"
#include "library/library_writer.h"

// Taking differences over from one library into the other: from what a
// comparison found, the changes (LibraryChanges) that make the target
// library hold the source library's values. Nothing is written here: the
// changes go to ApplyChanges with the target's file bytes, and the result to
// SaveLibraryFile.
//
//   const TakeSelection all = SelectKinds(comparison, TakeDirection::kIntoLibrary2,
//                                         kTakeChanged | kTakeAdded);
//   const TakeOverPlan plan = PlanTakeOver(comparison, TakeDirection::kIntoLibrary2, all);
//   ApplyChanges(library2Bytes, comparison.lib2.layout, comparison.lib2.count, plan.changes);
//
// For chosen rows (the dialog's selection), fill a TakeSelection yourself:
//   TakeSelection chosen;
//   chosen.pairs = {k};      // common entry k: comparison.pairs[k]
//   chosen.only1 = {r};      // record r of library 1, one of comparison.only1
//   PlanTakeOver(comparison, direction, chosen);

// Which library takes over the other's values.
enum class TakeDirection : std::uint8_t {
    kIntoLibrary2,  // library 1 is the source, library 2 the target
    kIntoLibrary1,  // library 2 is the source, library 1 the target
};

// What to take, as bits.
enum TakeKind : unsigned {
    kTakeChanged = 1,  // changed pairs: the target's changed fields get the source's values
    kTakeAdded = 2,    // records only in the source: added to the target
    kTakeRemoved = 4,  // records only in the target: removed from it
};

// The differences to take, each as the comparison lists it. Whether a record
// only in one library is added or removed follows from the direction: into
// library 2, a record of `only1` is added and one of `only2` removed; into
// library 1 the other way round.
struct TakeSelection {
    std::vector<std::int32_t> pairs;  // indexes into comparison.pairs (unchanged ones take nothing)
    std::vector<std::int32_t> only1;  // record numbers of library 1, each in comparison.only1
    std::vector<std::int32_t> only2;  // record numbers of library 2, each in comparison.only2
};

// Every difference of the kinds `kinds` (TakeKind bits) in that direction:
// the changed pairs (comparison.changed), the records only in the source,
// the records only in the target. Nothing for a refused comparison.
TakeSelection SelectKinds(const Comparison& comparison, TakeDirection direction, unsigned kinds);

// A name that was not taken because a library holds it more than once: which
// record of it would take which value is a person's decision. `name` points
// into the comparison's tables.
struct NameHeldMoreThanOnce {
    std::string_view name;
    std::int32_t times1 = 0;  // how often library 1 holds it
    std::int32_t times2 = 0;  // and library 2
};

// The target library's changes and what was left out.
struct TakeOverPlan {
    // For the target library as compared: record numbers are those of its
    // file. Changes are made in pair order, added records come in the
    // source's record order, each with the source's whole record when both
    // libraries have the same layout and the source's bytes are at hand.
    LibraryChanges changes;
    // Names held more than once in either library, each once, in the order
    // met (changed pairs, records added, records removed): none of their
    // differences is taken.
    std::vector<NameHeldMoreThanOnce> skipped;
    // The source has classifications and the target (short layout) has none:
    // some record taken held a classification that was left behind. Only
    // designations go into a short-layout library.
    bool classificationsNotTaken = false;
    // Entries of the selection that the comparison does not have (a pair
    // index out of range, a record not in its only1 or only2): ignored.
    std::int32_t ignored = 0;
};

// How many pairs each record of a comparison has. A name held m times in
// library 1 and n times in library 2 has m × n pairs: each of its library-1
// records n, each library-2 record m. So a pair is the only one of its name
// exactly when both its records have one pair. Worked out once for a
// comparison (one pass over the pairs), it answers for chosen pairs without
// counting names through both libraries, and it stays true while only
// fields of such pairs change. It reads the comparison's pairs, which must
// stay in place.
class PairCounts {
public:
    PairCounts() = default;
    explicit PairCounts(const Comparison& comparison);
    // Whether pair `k` is the only one of its name.
    bool Sole(std::int32_t k) const;
    // How many pairs library-1 (2) record `record` has.
    std::int32_t Of1(std::int32_t record) const;
    std::int32_t Of2(std::int32_t record) const;
    // The index of the pair of library-1 (2) record `record` where it is
    // the only one of its name; -1 where not.
    std::int32_t SolePairOf1(std::int32_t record) const;
    std::int32_t SolePairOf2(std::int32_t record) const;

private:
    // Where the pairs of library-2 record `record` lie: they lie together,
    // in the order of the library-2 records.
    std::pair<std::size_t, std::size_t> PairsOf2(std::int32_t record) const;

    const std::vector<MatchedPair>* pairs_ = nullptr;
    std::vector<std::int32_t> of1_;     // pairs per library-1 record
    std::vector<std::int32_t> first1_;  // a pair of each library-1 record
};

// The changes that take the selected differences over into the direction's
// target. The comparison's tables must still hold the libraries' records (as
// long as the Comparison lives, they do).
// With `counts` of the comparison, a selection of pairs alone is weighed by
// them, in time that grows with the selection rather than the libraries.
TakeOverPlan PlanTakeOver(const Comparison& comparison, TakeDirection direction,
                          const TakeSelection& selection, const PairCounts* counts = nullptr);
