#include "compare/take_over.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "library/library_reader.h"
#include "test_support.h"

namespace {

// A library file's bytes and the comparison's view of them.
struct Library {
    std::shared_ptr<std::string> bytes;
    ComparedLibrary compared;
};

Library Load(std::string bytes) {
    Library library;
    library.bytes = std::make_shared<std::string>(std::move(bytes));
    DiscardingSymbolList names;
    const ReadResult read = AdoptLibraryBytes(*library.bytes, library.bytes, library.compared.table,
                                              library.compared.count, names);
    EXPECT_TRUE(read);
    library.compared.layout = read.layout;
    return library;
}

Comparison Compare(const Library& a, const Library& b) {
    Comparison comparison =
        CompareTables(a.compared.table, a.compared.count, b.compared.table, b.compared.count);
    // CompareTables takes the layouts from the tables; the files decide them.
    comparison.lib1.layout = a.compared.layout;
    comparison.lib2.layout = b.compared.layout;
    return comparison;
}

std::uint64_t RecordSize(LibraryLayout layout) {
    return layout == LibraryLayout::kLong ? kLongRecordSize : kShortRecordSize;
}

// A random library of unique names drawn from `pool`, some with another
// designation or classification than `variant` gives, and bytes of their own
// after each record's fields.
std::string RandomLibrary(std::mt19937& random, LibraryLayout layout,
                          const std::vector<std::string>& pool, int variant) {
    std::vector<std::string> names;
    for (const std::string& name : pool)
        if (random() % 3 != 0) names.push_back(name);
    std::shuffle(names.begin(), names.end(), random);
    const auto value = [&](const std::string& name, const char* what) {
        std::string text = name + what;
        if (random() % 4 == 0) text += std::to_string(variant);  // differs between the libraries
        if (random() % 8 == 0) text = "\xC4nderung \xE9";        // Windows-1252 bytes
        return text;
    };
    const std::uint64_t size = RecordSize(layout);
    std::string bytes(kRecordBase + size, '\0');
    if (layout == LibraryLayout::kLong) bytes[0] = bytes[1] = '\xFF';
    bytes[5] = static_cast<char>(variant);  // before record 1: kept
    for (const std::string& name : names) {
        std::string record(size, static_cast<char>('a' + random() % 26));
        std::string fields;
        if (layout == LibraryLayout::kLong) {
            fields = name + '\0' + value(name, "-d") + '\0' + value(name, "-k1") + '\0' +
                     value(name, "-k2") + '\0';
            record.replace(0, fields.size(), fields);
        } else {
            record.replace(0, name.size() + 1, name + '\0');
            const std::string designation = value(name, "-d") + '\0';
            record.replace(kShortDesignationOffset, designation.size(), designation);
        }
        bytes += record;
    }
    return bytes;
}

std::vector<std::string> Pool(int size) {
    std::vector<std::string> pool;
    for (int i = 0; i < size; ++i) pool.push_back(Numbered("Sym", i));
    return pool;
}

// Where each record of `library` stands once `changes` are made (0: removed),
// and whether it was left untouched.
struct Place {
    std::int64_t at = 0;
    bool untouched = true;
};
std::vector<Place> Places(const Library& library, const LibraryChanges& changes) {
    std::vector<Place> places(static_cast<std::size_t>(library.compared.count) + 1);
    std::vector<bool> removed(places.size());
    for (const std::int32_t r : changes.removed) removed[r] = true;
    for (const FieldChanges& change : changes.changed) places[change.record].untouched = false;
    std::int64_t at = 0;
    for (std::size_t r = 1; r < places.size(); ++r) {
        if (removed[r])
            places[r] = {0, false};
        else
            places[r].at = ++at;
    }
    return places;
}

std::string_view RecordBytes(std::string_view file, LibraryLayout layout, std::int64_t record) {
    return file.substr(kRecordBase + static_cast<std::uint64_t>(record) * RecordSize(layout),
                       RecordSize(layout));
}

struct LayoutPair {
    LibraryLayout layout1, layout2;
};

const LayoutPair kLayoutPairs[] = {
    {LibraryLayout::kLong, LibraryLayout::kLong},
    {LibraryLayout::kShort, LibraryLayout::kShort},
    {LibraryLayout::kLong, LibraryLayout::kShort},
    {LibraryLayout::kShort, LibraryLayout::kLong},
};

// The names of the records a list names.
std::multiset<std::string> NamesOf(const ComparedLibrary& library,
                                   const std::vector<std::int32_t>& records) {
    std::multiset<std::string> names;
    for (const std::int32_t r : records) names.emplace(library.table.Symbol(r));
    return names;
}

TEST(TakeOver, EachKindAndAllKindsLeaveNoDifferenceOfThoseKinds) {
    std::mt19937 random(20240611);
    const unsigned kindSets[] = {kTakeChanged, kTakeAdded, kTakeRemoved,
                                 kTakeChanged | kTakeAdded | kTakeRemoved};
    for (int round = 0; round < 12; ++round) {
        for (const LayoutPair& layouts : kLayoutPairs) {
            const std::vector<std::string> pool = Pool(1 + static_cast<int>(random() % 60));
            const Library one = Load(RandomLibrary(random, layouts.layout1, pool, 1));
            const Library two = Load(RandomLibrary(random, layouts.layout2, pool, 2));
            const Comparison before = Compare(one, two);
            for (const TakeDirection direction :
                 {TakeDirection::kIntoLibrary2, TakeDirection::kIntoLibrary1}) {
                const bool into2 = direction == TakeDirection::kIntoLibrary2;
                const Library& target = into2 ? two : one;
                for (const unsigned kinds : kindSets) {
                    const TakeOverPlan plan =
                        PlanTakeOver(before, direction, SelectKinds(before, direction, kinds));
                    EXPECT_TRUE(plan.skipped.empty());
                    const ChangedLibrary written = ApplyChanges(
                        *target.bytes, target.compared.layout, target.compared.count, plan.changes);
                    ASSERT_TRUE(written) << static_cast<int>(written.refusal.problem);
                    const Library result = Load(written.bytes);
                    const Comparison after = into2 ? Compare(one, result) : Compare(result, two);
                    const std::string what = "round " + std::to_string(round) + ", kinds " +
                                             std::to_string(kinds) +
                                             (into2 ? ", into 2" : ", into 1");

                    // What was taken is gone; the other kinds stay as they were.
                    const ComparedLibrary& resultSide = into2 ? after.lib2 : after.lib1;
                    const ComparedLibrary& beforeSide = into2 ? before.lib2 : before.lib1;
                    const auto& onlySource = into2 ? &Comparison::only1 : &Comparison::only2;
                    const auto& onlyTarget = into2 ? &Comparison::only2 : &Comparison::only1;
                    const ComparedLibrary& sourceSide = into2 ? before.lib1 : before.lib2;
                    EXPECT_EQ(after.changed.empty(),
                              (kinds & kTakeChanged) || before.changed.empty())
                        << what;
                    EXPECT_EQ(NamesOf(sourceSide, after.*onlySource),
                              kinds & kTakeAdded ? std::multiset<std::string>()
                                                 : NamesOf(sourceSide, before.*onlySource))
                        << what;
                    EXPECT_EQ(NamesOf(resultSide, after.*onlyTarget),
                              kinds & kTakeRemoved ? std::multiset<std::string>()
                                                   : NamesOf(beforeSide, before.*onlyTarget))
                        << what;
                    if (kinds == (kTakeChanged | kTakeAdded | kTakeRemoved)) {
                        EXPECT_FALSE(after.HasDifferences()) << what;
                    }

                    // Every untouched record is the same bytes, in the same order,
                    // and so is everything before record 1.
                    const std::vector<Place> places = Places(target, plan.changes);
                    const LibraryLayout layout = target.compared.layout;
                    for (std::size_t r = 1; r < places.size(); ++r) {
                        if (!places[r].untouched) continue;
                        ASSERT_EQ(RecordBytes(written.bytes, layout, places[r].at),
                                  RecordBytes(*target.bytes, layout, static_cast<std::int64_t>(r)))
                            << what << ", record " << r;
                    }
                    EXPECT_EQ(written.bytes.substr(0, kRecordBase + RecordSize(layout)),
                              target.bytes->substr(0, kRecordBase + RecordSize(layout)));
                    // Added records of the same layout are the source's bytes.
                    if (layouts.layout1 == layouts.layout2 && (kinds & kTakeAdded)) {
                        const std::vector<std::int32_t>& added = before.*onlySource;
                        const Library& source = into2 ? one : two;
                        const std::size_t firstAdded =
                            static_cast<std::size_t>(target.compared.count) -
                            plan.changes.removed.size() + 1;
                        for (std::size_t a = 0; a < added.size(); ++a)
                            EXPECT_EQ(RecordBytes(written.bytes, layout,
                                                  static_cast<std::int64_t>(firstAdded + a)),
                                      RecordBytes(*source.bytes, layout, added[a]))
                                << what;
                    }
                }
            }
        }
    }
}

TEST(TakeOver, NothingTakenGivesTheSameFile) {
    std::mt19937 random(7);
    for (const LayoutPair& layouts : kLayoutPairs) {
        const std::vector<std::string> pool = Pool(40);
        const Library one = Load(RandomLibrary(random, layouts.layout1, pool, 1));
        const Library two = Load(RandomLibrary(random, layouts.layout2, pool, 2));
        const Comparison comparison = Compare(one, two);
        const TakeOverPlan plan =
            PlanTakeOver(comparison, TakeDirection::kIntoLibrary2,
                         SelectKinds(comparison, TakeDirection::kIntoLibrary2, 0));
        EXPECT_TRUE(plan.changes.Empty());
        const ChangedLibrary written =
            ApplyChanges(*two.bytes, two.compared.layout, two.compared.count, plan.changes);
        ASSERT_TRUE(written);
        EXPECT_EQ(written.bytes, *two.bytes);
    }
}

TEST(TakeOver, NamesHeldMoreThanOnceAreLeftOutAndNamed) {
    const Library one = Load(LongLibrary({{"Zwei", "a", "", ""},
                                          {"Zwei", "b", "", ""},
                                          {"Eins", "alt", "", ""},
                                          {"Doppelt1", "x", "", ""},
                                          {"Doppelt1", "y", "", ""},
                                          {"Neu", "n", "", ""}}));
    const Library two = Load(LongLibrary({{"Zwei", "c", "", ""},
                                          {"Eins", "neu", "", ""},
                                          {"Doppelt2", "", "", ""},
                                          {"Doppelt2", "", "", ""},
                                          {"Weg", "", "", ""}}));
    const Comparison comparison = Compare(one, two);
    const TakeOverPlan plan = PlanTakeOver(comparison, TakeDirection::kIntoLibrary2,
                                           SelectKinds(comparison, TakeDirection::kIntoLibrary2,
                                                       kTakeChanged | kTakeAdded | kTakeRemoved));
    ASSERT_EQ(plan.skipped.size(), 3u);
    EXPECT_EQ(plan.skipped[0].name, "Zwei");
    EXPECT_EQ(plan.skipped[0].times1, 2);
    EXPECT_EQ(plan.skipped[0].times2, 1);
    EXPECT_EQ(plan.skipped[1].name, "Doppelt1");
    EXPECT_EQ(plan.skipped[1].times1, 2);
    EXPECT_EQ(plan.skipped[1].times2, 0);
    EXPECT_EQ(plan.skipped[2].name, "Doppelt2");
    EXPECT_EQ(plan.skipped[2].times2, 2);
    // Only the names held once are taken.
    ASSERT_EQ(plan.changes.changed.size(), 1u);
    EXPECT_EQ(plan.changes.changed[0].record, 2);
    EXPECT_EQ(plan.changes.changed[0].designation, "alt");
    ASSERT_EQ(plan.changes.added.size(), 1u);
    EXPECT_EQ(plan.changes.added[0].symbol, "Neu");
    EXPECT_EQ(plan.changes.removed, std::vector<std::int32_t>{5});
}

TEST(TakeOver, IntoAShortLibraryOnlyDesignationsGo) {
    const Library one =
        Load(LongLibrary({{"A", "neu", "K1", ""}, {"B", "b", "", ""}, {"C", "c", "", "G"}}));
    const Library two = Load(ShortLibrary({{"A", "alt"}, {"B", "b"}}));
    const Comparison comparison = Compare(one, two);
    TakeSelection onlyB;
    onlyB.pairs = {1};  // B: unchanged, nothing to take
    EXPECT_FALSE(
        PlanTakeOver(comparison, TakeDirection::kIntoLibrary2, onlyB).classificationsNotTaken);

    const TakeOverPlan plan = PlanTakeOver(
        comparison, TakeDirection::kIntoLibrary2,
        SelectKinds(comparison, TakeDirection::kIntoLibrary2, kTakeChanged | kTakeAdded));
    EXPECT_TRUE(plan.classificationsNotTaken);
    ASSERT_EQ(plan.changes.changed.size(), 1u);
    EXPECT_EQ(plan.changes.changed[0].designation, "neu");
    EXPECT_FALSE(plan.changes.changed[0].classification1);
    ASSERT_EQ(plan.changes.added.size(), 1u);
    EXPECT_EQ(plan.changes.added[0].classification2, "");
    EXPECT_FALSE(plan.changes.added[0].wholeRecord);  // another layout: laid out anew
    EXPECT_TRUE(ApplyChanges(*two.bytes, two.compared.layout, two.compared.count, plan.changes));
}

TEST(TakeOver, AChosenSelectionTakesJustThat) {
    const Library one = Load(LongLibrary(
        {{"A", "a1", "", ""}, {"B", "b1", "", ""}, {"N1", "", "", ""}, {"N2", "", "", ""}}));
    const Library two =
        Load(LongLibrary({{"A", "a2", "", ""}, {"B", "b2", "", ""}, {"W", "", "", ""}}));
    const Comparison comparison = Compare(one, two);
    ASSERT_EQ(comparison.pairs.size(), 2u);
    TakeSelection chosen;
    chosen.pairs = {1, 7};     // B, and a pair the comparison does not have
    chosen.only1 = {4, 4, 1};  // N2 twice, and A, which is no record only in library 1
    chosen.only2 = {3};        // W
    // Into library 1, only2 records are added and only1 records removed.
    const TakeOverPlan into1 = PlanTakeOver(comparison, TakeDirection::kIntoLibrary1, chosen);
    EXPECT_EQ(into1.ignored, 2);
    ASSERT_EQ(into1.changes.changed.size(), 1u);
    EXPECT_EQ(into1.changes.changed[0].record, 2);
    EXPECT_EQ(into1.changes.changed[0].designation, "b2");
    EXPECT_EQ(into1.changes.removed, std::vector<std::int32_t>{4});
    ASSERT_EQ(into1.changes.added.size(), 1u);
    EXPECT_EQ(into1.changes.added[0].symbol, "W");

    const TakeOverPlan into2 = PlanTakeOver(comparison, TakeDirection::kIntoLibrary2, chosen);
    ASSERT_EQ(into2.changes.changed.size(), 1u);
    EXPECT_EQ(into2.changes.changed[0].record, 2);
    EXPECT_EQ(into2.changes.changed[0].designation, "b1");
    EXPECT_EQ(into2.changes.removed, std::vector<std::int32_t>{3});
    ASSERT_EQ(into2.changes.added.size(), 1u);
    EXPECT_EQ(into2.changes.added[0].symbol, "N2");
}

// Fields taken over where the records stand, with the comparison following
// in place, leave what comparing the changed files anew finds; a plan weighed
// by the pair counts is the plan weighed by counting names; and undoing the
// patches gives back the bytes read.
TEST(TakeOver, FieldsTakenInPlaceAreFollowedAsAFreshComparisonFinds) {
    std::mt19937 random(29);
    const std::vector<std::string> pool = Pool(50);
    for (const LayoutPair& layouts : kLayoutPairs) {
        for (int round = 0; round < 4; ++round) {
            std::string bytes[2] = {RandomLibrary(random, layouts.layout1, pool, 1),
                                    RandomLibrary(random, layouts.layout2, pool, 2)};
            const LibraryLayout layout[2] = {layouts.layout1, layouts.layout2};
            // Some names held twice, so that some chosen pairs are left out.
            for (int side = 0; side < 2; ++side)
                for (int twice = 0; twice < 3; ++twice) {
                    const std::uint64_t records =
                        (bytes[side].size() - kRecordBase) / RecordSize(layout[side]) - 1;
                    bytes[side] +=
                        std::string(RecordBytes(bytes[side], layout[side],
                                                static_cast<std::int64_t>(1 + random() % records)));
                }
            const std::string read[2] = {bytes[0], bytes[1]};
            const Library one = Load(bytes[0]);
            const Library two = Load(bytes[1]);
            Comparison comparison = Compare(one, two);
            const PairCounts counts(comparison);
            std::vector<std::pair<const Library*, std::vector<RecordPatch>>> made;
            for (int step = 0; step < 6; ++step) {
                const auto direction =
                    step % 2 ? TakeDirection::kIntoLibrary1 : TakeDirection::kIntoLibrary2;
                TakeSelection chosen;
                for (std::size_t k = 0; k < comparison.pairs.size(); ++k)
                    if (random() % 4 == 0) chosen.pairs.push_back(static_cast<std::int32_t>(k));
                const TakeOverPlan weighed = PlanTakeOver(comparison, direction, chosen, &counts);
                const TakeOverPlan counted = PlanTakeOver(comparison, direction, chosen);
                ASSERT_EQ(weighed.changes.changed.size(), counted.changes.changed.size());
                for (std::size_t i = 0; i < weighed.changes.changed.size(); ++i)
                    EXPECT_EQ(weighed.changes.changed[i].record, counted.changes.changed[i].record);
                ASSERT_EQ(weighed.skipped.size(), counted.skipped.size());
                for (std::size_t i = 0; i < weighed.skipped.size(); ++i) {
                    EXPECT_EQ(weighed.skipped[i].name, counted.skipped[i].name);
                    EXPECT_EQ(weighed.skipped[i].times1, counted.skipped[i].times1);
                    EXPECT_EQ(weighed.skipped[i].times2, counted.skipped[i].times2);
                }

                const bool into2 = direction == TakeDirection::kIntoLibrary2;
                const Library& target = into2 ? two : one;
                std::string& file = *target.bytes;
                PatchedLibrary patched =
                    PatchRecords(std::span<char>(file.data(), file.size()), target.compared.layout,
                                 target.compared.count, weighed.changes.changed);
                ASSERT_TRUE(patched);
                std::vector<std::int32_t> followed;
                for (const FieldChanges& change : weighed.changes.changed)
                    followed.push_back(into2 ? counts.SolePairOf2(change.record)
                                             : counts.SolePairOf1(change.record));
                ASSERT_TRUE(std::none_of(followed.begin(), followed.end(),
                                         [](std::int32_t k) { return k < 0; }));
                RefreshPairs(comparison, followed);
                EXPECT_TRUE(comparison.SameFindings(Compare(one, two)))
                    << "step " << step << ", round " << round;
                made.emplace_back(&target, std::move(patched.patches));
            }
            for (auto step = made.rbegin(); step != made.rend(); ++step)
                UndoPatches(std::span<char>(step->first->bytes->data(), step->first->bytes->size()),
                            step->second);
            EXPECT_EQ(*one.bytes, read[0]);
            EXPECT_EQ(*two.bytes, read[1]);
        }
    }
}

}  // namespace
