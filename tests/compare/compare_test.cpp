#include "compare/compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "library/library_reader.h"
#include "library/text.h"
#include "test_support.h"

namespace {

using Names = std::vector<std::string>;

// A library table holding `names` as records 1..n, each with fields derived
// from the name and `tag`.
SymbolTable Library(const Names& names, const std::string& tag) {
    SymbolTable table;
    for (std::size_t i = 0; i < names.size(); ++i)
        table.Assign(static_cast<std::int64_t>(i) + 1, names[i], tag + "-d", tag + "-k1", "k2");
    return table;
}

// The comparison as the system runs it: compared, then written into the
// common table and the lists.
Comparison Publish(const SymbolTable& t1, std::int32_t n1, const SymbolTable& t2, std::int32_t n2,
                   SymbolTable& common, std::int32_t& count, SymbolList& commonList,
                   SymbolList& only1, SymbolList& only2) {
    Comparison result = CompareTables(t1, n1, t2, n2);
    PublishComparison(result, common, count, commonList, only1, only2);
    return result;
}

// The records of each pair, as "library-1 record/library-2 record".
std::vector<std::string> PairRecords(const Comparison& r) {
    std::vector<std::string> records;
    for (const MatchedPair& p : r.pairs)
        records.push_back(std::to_string(p.record1) + "/" + std::to_string(p.record2));
    return records;
}

std::vector<std::uint8_t> Differences(const Comparison& r) {
    std::vector<std::uint8_t> bits;
    for (const MatchedPair& p : r.pairs) bits.push_back(p.differences);
    return bits;
}

struct Outcome {
    Names common, only1, only2;
    std::vector<std::string> calls;  // every list call, in order, tagged by list
    std::int32_t commonCount = -1;
    SymbolTable commonTable;
    Comparison result;
};

template <typename Compare>
Outcome RunCompare(const Names& lib1, const Names& lib2, Compare compare) {
    Outcome out;
    const SymbolTable t1 = Library(lib1, "L1");
    const SymbolTable t2 = Library(lib2, "L2");
    RecordingList common("common", out.calls), only1("only1", out.calls), only2("only2", out.calls);
    out.result = compare(t1, static_cast<std::int32_t>(lib1.size()), t2,
                         static_cast<std::int32_t>(lib2.size()), ComparisonOptions{});
    PublishComparison(out.result, out.commonTable, out.commonCount, common, only1, only2);
    out.common = common.names;
    out.only1 = only1.names;
    out.only2 = only2.names;
    return out;
}

struct Case {
    const char* name;
    Names lib1, lib2;
    Names common, only1, only2;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class ProducesLists : public testing::TestWithParam<Case> {};

TEST_P(ProducesLists, ProducesTheThreeLists) {
    const Case& c = GetParam();
    const Outcome out = RunCompare(c.lib1, c.lib2, CompareTables);
    EXPECT_EQ(out.common, c.common);
    EXPECT_EQ(out.only1, c.only1);
    EXPECT_EQ(out.only2, c.only2);
    EXPECT_EQ(out.commonCount, static_cast<std::int32_t>(c.common.size()));
    for (std::int32_t k = 0; k < out.commonCount; ++k) {
        EXPECT_EQ(out.commonTable[k].symbol, c.common[static_cast<std::size_t>(k)]);
        EXPECT_EQ(out.commonTable[k].designation, "L2-d");  // library 2's fields
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProducesLists,
    testing::Values(Case{"abc_bcd", {"A", "B", "C"}, {"B", "C", "D"}, {"B", "C"}, {"A"}, {"D"}},
                    Case{"case_sensitive", {"Motor"}, {"motor"}, {}, {"Motor"}, {"motor"}},
                    Case{"prefix_is_no_match", {"AB"}, {"ABC"}, {}, {"AB"}, {"ABC"}},
                    Case{"two_times_three", {"X", "X"}, {"X", "X", "X"}, Names(6, "X"), {}, {}},
                    Case{"library2_empty", {"A", "B"}, {}, {}, {"A", "B"}, {}},
                    Case{"both_empty", {}, {}, {}, {}, {}},
                    Case{"empty_names_match", {"A", ""}, {"", "B"}, {""}, {"A"}, {"B"}},
                    Case{"discovery_order", {"Q", "P", "Q"}, {"P", "Q"}, {"P", "Q", "Q"}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompareTables, EmptiesListsInOrderThenCommonOnly2Only1) {
    const Outcome out = RunCompare({"A", "B"}, {"B", "C"}, CompareTables);
    EXPECT_EQ(out.calls,
              (std::vector<std::string>{"only1:<empty>", "only2:<empty>", "common:<empty>",
                                        "common:B", "only2:C", "only1:A"}));
}

TEST(CompareTables, CommonEntriesRecordTheirPairsAndChanges) {
    SymbolTable t1, t2, common;
    t1.Assign(1, "X", "same", "k", "k");
    t1.Assign(2, "Y", "alt", "k", "k");
    t2.Assign(1, "Y", "neu", "k", "k");
    t2.Assign(2, "X", "same", "k", "k");
    std::int32_t count = 0;
    DiscardingSymbolList a, b, c;
    const Comparison r = Publish(t1, 2, t2, 2, common, count, a, b, c);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(PairRecords(r), (std::vector<std::string>{"2/1", "1/2"}));
    EXPECT_EQ(r.changed, (std::vector<std::int32_t>{0}));
    EXPECT_EQ(common[0].designation, "neu");
}

TEST(CompareTables, RunningTwiceGivesTheSameResult) {
    SymbolTable t1 = Library({"A", "B", "C"}, "L1"), t2 = Library({"B", "C", "D"}, "L2");
    SymbolTable common;
    std::int32_t count = 0;
    RecordingList l1, l2, l3;
    Publish(t1, 3, t2, 3, common, count, l1, l2, l3);
    const auto first = l1.names;
    Publish(t1, 3, t2, 3, common, count, l1, l2, l3);
    EXPECT_EQ(l1.names, first);
    EXPECT_EQ(count, 2);
    Publish(t1, 3, t2, 1, common, count, l1, l2, l3);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(common[0].symbol, "B");
}

// The common table shares library 2's bytes and keeps alive only what its
// entries point into: comparing against a new library 2 lets the old go.
TEST(CompareTables, CommonTableHoldsOnlyWhatItShows) {
    SymbolTable t1 = Library({"A", "B"}, "L1"), common;
    std::weak_ptr<const void> oldBytes;
    std::int32_t count = 0;
    RecordingList l1, l2, l3;
    {
        SymbolTable t2 = Library({"B"}, "L2");
        oldBytes = t2.Storage().front();
        Publish(t1, 2, t2, 1, common, count, l1, l2, l3);
    }
    EXPECT_FALSE(oldBytes.expired());
    EXPECT_EQ(common[0].designation, "L2-d");
    const SymbolTable t2 = Library({"A"}, "L3");
    Publish(t1, 2, t2, 1, common, count, l1, l2, l3);
    EXPECT_TRUE(oldBytes.expired());
    EXPECT_EQ(common[0].designation, "L3-d");
}

TEST(CompareTables, CountsBeyondTheTableAreClamped) {
    SymbolTable t1 = Library({"A"}, "L1"), t2 = Library({"A"}, "L2"), common;
    std::int32_t count = 0;
    RecordingList l1, l2, l3;
    Publish(t1, 1000, t2, -5, common, count, l1, l2, l3);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(l2.names, Names{"A"});
    // The same for library 2: exactly its two records, no slot beyond them.
    const SymbolTable t3 = Library({"B", "C"}, "L3");
    Publish(t1, -5, t3, 1000, common, count, l1, l2, l3);
    EXPECT_EQ(l3.names, (Names{"B", "C"}));
}

TEST(CompareLibraries, UsesTheProcessWideTables) {
    lib1Table.Assign(1, "A");
    lib1Table.Assign(2, "B");
    lib2Table.Assign(1, "B", "bez", "k1", "k2");
    lib1Count = 2;
    lib2Count = 1;
    RecordingList common, only1, only2;
    CompareLibraries(common, only1, only2);
    EXPECT_EQ(commonCount, 1);
    EXPECT_EQ(commonTable[0].classification1, "k1");
    EXPECT_EQ(only1.names, Names{"A"});
    lib1Count = lib2Count = commonCount = 0;
}

// The indexed comparison answers to the plain nested loop on random tables
// full of duplicates, case variants and empty names.
TEST(CompareTables, AgreesWithTheNestedLoop) {
    std::mt19937 random(20261207);
    const Names alphabet = {"", "A", "a", "AB", "Ab", "M\xF6tor", "M\xD6TOR", "x", "X", "\x81"};
    for (int round = 0; round < 200; ++round) {
        auto draw = [&](std::size_t most) {
            Names names(random() % (most + 1));
            for (auto& n : names) n = alphabet[random() % alphabet.size()];
            return names;
        };
        const Names lib1 = draw(40), lib2 = draw(40);
        const Outcome fast = RunCompare(lib1, lib2, CompareTables);
        const Outcome slow = RunCompare(lib1, lib2, CompareTablesNestedLoop);
        ASSERT_EQ(fast.calls, slow.calls) << "round " << round;
        ASSERT_EQ(fast.commonCount, slow.commonCount);
        ASSERT_TRUE(fast.result.SameFindings(slow.result)) << "round " << round;
    }
    // Names held several times with some designations alike: which pairs
    // change.
    for (int round = 0; round < 300; ++round) {
        SymbolTable t1, t2;
        const auto fill = [&](SymbolTable& table) {
            const auto n = static_cast<std::int32_t>(random() % 12);
            for (std::int32_t i = 1; i <= n; ++i)
                table.Assign(i, alphabet[1 + random() % 3], std::string(1, 'a' + random() % 3));
            return n;
        };
        const std::int32_t n1 = fill(t1), n2 = fill(t2);
        ASSERT_TRUE(
            CompareTables(t1, n1, t2, n2).SameFindings(CompareTablesNestedLoop(t1, n1, t2, n2)))
            << "round " << round;
    }
}

}  // namespace

namespace {

// Counts the names it is given instead of keeping them.
class CountingList : public SymbolList {
public:
    void Empty() override { names = 0; }
    void Add(std::string_view) override { ++names; }
    std::uint64_t names = 0;
};

// A name held m times in library 1 and n times in library 2 gives m × n
// entries up to the bound; one pair more and the comparison is refused, with
// the lists and the common table empty and the library tables untouched.
TEST(CompareTables, RefusesMoreThanTheBoundOfCommonEntries) {
    struct Case {
        std::int32_t m, n;
        bool refused;
    };
    // 4000 × 5000 is exactly the bound; 4001 × 5000 is over it.
    for (const Case c : {Case{4000, 5000, false}, Case{4001, 5000, true}}) {
        SymbolTable t1, t2, common;
        for (std::int32_t i = 1; i <= c.m; ++i) t1.Assign(i, "Platzhalter");
        for (std::int32_t i = 1; i <= c.n; ++i) t2.Assign(i, "Platzhalter");
        t2.Assign(c.n + 1, "Nur2");
        common.Assign(0, "alt");
        std::int32_t count = -1;
        CountingList commonList, only1, only2;
        const Comparison r = Publish(t1, c.m, t2, c.n + 1, common, count, commonList, only1, only2);
        const std::uint64_t pairs = std::uint64_t(c.m) * std::uint64_t(c.n);
        EXPECT_EQ(r.refused, c.refused);
        EXPECT_EQ(r.pairCount, pairs);
        EXPECT_EQ(commonList.names, c.refused ? 0 : pairs);
        EXPECT_EQ(only2.names, c.refused ? 0u : 1u);
        EXPECT_EQ(count, c.refused ? 0 : static_cast<std::int32_t>(pairs));
        EXPECT_EQ(common[0].symbol, c.refused ? "" : "Platzhalter");
        EXPECT_EQ(t1[c.m].symbol, "Platzhalter");
    }
}

}  // namespace

namespace {

// One definition of "changed": designations always; classifications only
// when both libraries have them.
TEST(CompareTables, ChangedFollowsTheLayouts) {
    TempDir dir;
    const std::string longOld = LongLibrary({{"D", "alt", "k", "g"}, {"K", "x", "k1", "g"}});
    const std::string longNew = LongLibrary({{"D", "neu", "k", "g"}, {"K", "x", "k2", "g"}});
    const std::string shortNew = ShortLibrary({{"D", "neu"}, {"K", "x"}});
    struct Case {
        const std::string* lib1;
        const std::string* lib2;
        bool classificationsCompared;
        std::vector<std::uint8_t> differences;  // per common entry: D, K
    };
    const Case cases[] = {
        {&longOld, &longNew, true, {kDesignationDiffers, kClassification1Differs}},
        {&longOld, &shortNew, false, {kDesignationDiffers, 0}},
        {&shortNew, &longOld, false, {kDesignationDiffers, 0}},
    };
    for (const Case& c : cases) {
        SymbolTable t1, t2;
        std::int32_t n1 = 0, n2 = 0;
        DiscardingSymbolList none;
        ASSERT_TRUE(ReadLibraryFile(dir.Write("1.1", *c.lib1), t1, n1, none));
        ASSERT_TRUE(ReadLibraryFile(dir.Write("2.1", *c.lib2), t2, n2, none));
        const Comparison r = CompareTables(t1, n1, t2, n2);
        EXPECT_EQ(r.classificationsCompared, c.classificationsCompared);
        EXPECT_EQ(Differences(r), c.differences);
        EXPECT_EQ(r.changed.size(),
                  static_cast<std::size_t>(std::count_if(c.differences.begin(), c.differences.end(),
                                                         [](std::uint8_t d) { return d != 0; })));
    }
}

// A name held more than once: identical records are paired off one to one,
// the records left over are paired in order, and only those pairs change.
TEST(CompareTables, WhichPairsOfANameHeldMoreThanOnceChange) {
    const struct {
        const char* name;
        Names designations1, designations2;
        std::vector<std::string> changed;  // library-1 record/library-2 record, in pair order
    } cases[] = {
        {"held once, the same", {"a"}, {"a"}, {}},
        {"held once, different", {"a"}, {"b"}, {"1/1"}},
        {"one record more in library 2", {"alt"}, {"alt", "NEU"}, {"1/2"}},
        {"one of two replaced", {"a", "b"}, {"a", "c"}, {"2/2"}},
        {"none alike, two against one", {"x"}, {"y", "z"}, {"1/1", "1/2"}},
        {"a file against itself", {"a", "b", "a"}, {"a", "b", "a"}, {}},
        {"each identical record pairs once", {"a", "a"}, {"a", "other"}, {"2/2"}},
        {"the first identical record not yet taken", {"a", "a"}, {"b", "a"}, {"2/1"}},
        {"left over in order, library 1 longer",
         {"a", "b", "c"},
         {"x", "y"},
         {"1/1", "3/1", "2/2"}},
        {"library 1's extra records go with library 2's first",
         {"p", "q", "r"},
         {"q"},
         {"1/1", "3/1"}},
        {"0..2 against 0..4", {"0", "1", "2"}, {"0", "1", "2", "3", "4"}, {"1/4", "1/5"}},
    };
    for (const auto& c : cases) {
        SymbolTable t1, t2;
        for (std::size_t i = 0; i < c.designations1.size(); ++i)
            t1.Assign(static_cast<std::int64_t>(i) + 1, "X", c.designations1[i]);
        for (std::size_t i = 0; i < c.designations2.size(); ++i)
            t2.Assign(static_cast<std::int64_t>(i) + 1, "X", c.designations2[i]);
        const auto n1 = static_cast<std::int32_t>(c.designations1.size());
        const auto n2 = static_cast<std::int32_t>(c.designations2.size());
        for (const auto compare : {CompareTables, CompareTablesNestedLoop}) {
            const Comparison r = compare(t1, n1, t2, n2, ComparisonOptions{});
            std::vector<std::string> changed;
            for (std::int32_t k : r.changed) {
                const MatchedPair& pair = r.pairs[static_cast<std::size_t>(k)];
                changed.push_back(std::to_string(pair.record1) + "/" +
                                  std::to_string(pair.record2));
            }
            EXPECT_EQ(changed, c.changed) << c.name;
            EXPECT_EQ(std::count_if(r.pairs.begin(), r.pairs.end(),
                                    [](const MatchedPair& p) { return p.differences != 0; }),
                      static_cast<std::ptrdiff_t>(r.changed.size()))
                << c.name;
        }
    }
}

// The same at the bound: 4472 records of one name on each side, designations
// 0, 1, 2 against 0 … 4. 2684 records pair off as identical; the 1788 left
// over on each side (3s and 4s against 0s, 1s and 2s) change.
TEST(CompareTables, ANameHeldThousandsOfTimesChangesWhereRecordsAreLeftOver) {
    SymbolTable t1, t2;
    for (std::int32_t i = 1; i <= 4472; ++i) {
        t1.Assign(i, "Relais", std::to_string(i % 3));
        t2.Assign(i, "Relais", std::to_string(i % 5));
    }
    const Comparison r = CompareTables(t1, 4472, t2, 4472);
    ASSERT_EQ(r.pairs.size(), 4472u * 4472u);
    ASSERT_EQ(r.changed.size(), 1788u);
    for (std::int32_t k : r.changed) {
        const MatchedPair& pair = r.pairs[static_cast<std::size_t>(k)];
        EXPECT_GE(r.Record2(pair).designation, "3");
        EXPECT_LE(r.Record1(pair).designation, "2");
    }
}

}  // namespace

namespace {

// Near misses as "record:name/counterpart".
std::vector<std::string> Shown(const std::vector<NearMiss>& list) {
    std::vector<std::string> found;
    for (const NearMiss& m : list)
        found.push_back(std::to_string(m.record) + ":" + std::string(m.name) + "/" +
                        std::string(m.counterpart));
    return found;
}

// Only case and surrounding blanks make a near miss; each list comes in its
// library's record order, and the counterpart is the first such name in the
// other library's record order.
TEST(NearMisses, CaseAndSurroundingBlanksOnly) {
    const SymbolTable t1 = Library({"Motor", "Lampe", "Relais", " Taster", "X", "zange"}, "L1");
    const SymbolTable t2 =
        Library({"RELAIS", "motor", "Lampen", "relais", "Taster\t", "X", "MOTOR"}, "L2");
    const NearMissLists misses = NearMisses(CompareTables(t1, 6, t2, 7));
    EXPECT_EQ(Shown(misses.lib1),
              (std::vector<std::string>{"1:Motor/motor", "3:Relais/RELAIS", "4: Taster/Taster\t"}));
    EXPECT_EQ(Shown(misses.lib2),
              (std::vector<std::string>{"1:RELAIS/Relais", "2:motor/Motor", "4:relais/Relais",
                                        "5:Taster\t/ Taster", "7:MOTOR/Motor"}));
}

// On many names, most without a near miss, both lists are what looking at
// every pair of unmatched names finds.
TEST(NearMisses, AsEveryPairOfUnmatchedNamesSays) {
    std::mt19937 random(11);
    const auto names = [&random](std::size_t count) {
        Names made;
        for (std::size_t i = 0; i < count; ++i) {
            std::string name = "Teil" + std::to_string(random() % 3000);
            if (random() % 4 == 0) name[0] = 't';
            if (random() % 8 == 0) name += ' ';
            if (random() % 8 == 0) name = '\t' + name;
            made.push_back(name);
        }
        return made;
    };
    const Names names1 = names(2000), names2 = names(2500);
    const SymbolTable t1 = Library(names1, "L1"), t2 = Library(names2, "L2");
    const Comparison c = CompareTables(t1, 2000, t2, 2500);
    const auto expected = [](const SymbolTable& lib, const std::vector<std::int32_t>& unmatched,
                             const SymbolTable& other, const std::vector<std::int32_t>& others) {
        std::vector<std::string> found;
        for (std::int32_t r : unmatched)
            for (std::int32_t o : others)
                if (SameLooseName(lib.Symbol(r), other.Symbol(o))) {
                    found.push_back(std::to_string(r) + ":" + std::string(lib.Symbol(r)) + "/" +
                                    std::string(other.Symbol(o)));
                    break;
                }
        return found;
    };
    const NearMissLists misses = NearMisses(c);
    const std::vector<std::string> expected1 = expected(t1, c.only1, t2, c.only2);
    EXPECT_GT(expected1.size(), 50u);
    EXPECT_LT(expected1.size(), c.only1.size() / 2);
    EXPECT_EQ(Shown(misses.lib1), expected1);
    EXPECT_EQ(Shown(misses.lib2), expected(t2, c.only2, t1, c.only1));
}

}  // namespace

namespace {

// ---- comparison options ----------------------------------------------------

ComparisonOptions Options(bool ignoreCase, bool ignoreBlanks, bool ignoreClassifications = false) {
    ComparisonOptions options;
    options.ignoreCase = ignoreCase;
    options.ignoreBlanks = ignoreBlanks;
    options.ignoreClassifications = ignoreClassifications;
    return options;
}

// Which field values count as equal under each option: case folded as the
// lists' second level folds it (accents stay), blanks only at the ends.
TEST(SameField, FollowsTheOptions) {
    const struct {
        const char* what;
        std::string a, b;
        bool plain, ignoringCase, ignoringBlanks, ignoringBoth;
    } rows[] = {
        {"the same bytes", "Relais", "Relais", true, true, true, true},
        {"case", "MOTOR", "motor", false, true, false, true},
        {"accented capitals", "\xC4RGER", "\xE4rger", false, true, false, true},
        {"Š, Œ, Ž, Ÿ", "\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF", false, true, false, true},
        {"an accent is no case", "\xC4rger", "Arger", false, false, false, false},
        {"ß is not ss", "Ma\xDF", "MASS", false, false, false, false},
        {"a blank at the end", "Relais ", "Relais", false, false, true, true},
        {"a tab and a no-break space around", "\tRelais\xA0", "Relais", false, false, true, true},
        {"a blank inside counts", "Re lais", "Relais", false, false, false, false},
        {"blanks and case", " MOTOR", "motor  ", false, false, false, true},
        {"only blanks against nothing", " \t ", "", false, false, true, true},
        {"a line feed is no blank", "Relais\n", "Relais", false, false, false, false},
        {"a shorter value", "Relais", "Relai", false, false, false, false},
    };
    for (const auto& row : rows) {
        for (const auto& [a, b] : {std::pair{row.a, row.b}, std::pair{row.b, row.a}}) {
            EXPECT_EQ(SameField(a, b, Options(false, false)), row.plain) << row.what;
            EXPECT_EQ(SameField(a, b, Options(true, false)), row.ignoringCase) << row.what;
            EXPECT_EQ(SameField(a, b, Options(false, true)), row.ignoringBlanks) << row.what;
            EXPECT_EQ(SameField(a, b, Options(true, true)), row.ignoringBoth) << row.what;
            // Classifications are no concern of a single field.
            EXPECT_EQ(SameField(a, b, Options(false, false, true)), row.plain) << row.what;
        }
    }
}

// Records 1..n of `records`, each symbol, designation, classification 1 and 2.
std::int32_t Fill(SymbolTable& table, const std::vector<LongRecord>& records) {
    for (std::size_t i = 0; i < records.size(); ++i)
        table.Assign(static_cast<std::int64_t>(i) + 1, records[i][0], records[i][1], records[i][2],
                     records[i][3]);
    return static_cast<std::int32_t>(records.size());
}

// A pair the options make equal is no change, in the pairs' bits, the list
// of changes and the differences found; the pairing of a name held more than
// once takes records equal under the options for identical.
TEST(CompareTables, OptionsDecideWhatChanged) {
    const ComparisonOptions none,
        ignoreCase = Options(true, false), ignoreBlanks = Options(false, true),
        ignoreClassifications = Options(false, false, true), all = Options(true, true, true);
    const struct {
        const char* what;
        std::vector<LongRecord> one, two;
        ComparisonOptions options;
        std::vector<std::uint8_t> differences;  // of the pairs, in order
        bool classificationsCompared;
    } rows[] = {
        {"case counts without the option",
         {{"K", "MOTOR"}},
         {{"K", "motor"}},
         none,
         {kDesignationDiffers},
         true},
        {"case ignored", {{"K", "MOTOR"}}, {{"K", "motor"}}, ignoreCase, {0}, true},
        {"case ignored in a classification",
         {{"K", "d", "Antriebe"}},
         {{"K", "d", "ANTRIEBE"}},
         ignoreCase,
         {0},
         true},
        {"blanks ignored",
         {{"K", "Relais ", " k1"}},
         {{"K", "Relais", "k1"}},
         ignoreBlanks,
         {0},
         true},
        {"blanks ignored, case still counts",
         {{"K", "Relais "}},
         {{"K", "relais"}},
         ignoreBlanks,
         {kDesignationDiffers},
         true},
        {"classifications left aside",
         {{"K", "d", "k1", "k2"}},
         {{"K", "d", "x1", "x2"}},
         ignoreClassifications,
         {0},
         false},
        {"the designation still compared without classifications",
         {{"K", "alt", "k1"}},
         {{"K", "neu", "x1"}},
         ignoreClassifications,
         {kDesignationDiffers},
         false},
        {"names stay byte for byte",
         {{"Motor", "d"}, {"K ", "d"}},
         {{"motor", "d"}, {"K", "d"}},
         all,
         {},
         false},
        // Without options no two records of X are identical: the left-over
        // pairs (a, b) and (b , A) change (the pairs in library-2 record
        // order: (a, b), (b , b), (a, A), (b , A)). With them, b takes "b " and A
        // takes a: nothing changes.
        {"a name held twice, without options",
         {{"X", "a"}, {"X", "b "}},
         {{"X", "b"}, {"X", "A"}},
         none,
         {kDesignationDiffers, 0, 0, kDesignationDiffers},
         true},
        {"a name held twice, equal under the options",
         {{"X", "a"}, {"X", "b "}},
         {{"X", "b"}, {"X", "A"}},
         Options(true, true),
         {0, 0, 0, 0},
         true},
    };
    for (const auto& row : rows) {
        SymbolTable t1, t2;
        const std::int32_t n1 = Fill(t1, row.one), n2 = Fill(t2, row.two);
        const Comparison c = CompareTables(t1, n1, t2, n2, row.options);
        EXPECT_EQ(Differences(c), row.differences) << row.what;
        std::size_t changed = 0;
        for (std::uint8_t bits : row.differences) changed += bits != 0;
        EXPECT_EQ(c.changed.size(), changed) << row.what;
        EXPECT_EQ(c.HasDifferences(), changed > 0 || !c.only1.empty() || !c.only2.empty())
            << row.what;
        EXPECT_EQ(c.classificationsCompared, row.classificationsCompared) << row.what;
        EXPECT_TRUE(c.options == row.options) << row.what;
        EXPECT_TRUE(c.SameFindings(CompareTablesNestedLoop(t1, n1, t2, n2, row.options)))
            << row.what;
    }
}

// With every combination of options, the indexed comparison answers to the
// nested loop on random tables whose names repeat and whose values differ
// in case, in blanks at the ends, in accents and in classifications; and a
// pair is changed only where the options leave a field that differs.
TEST(CompareTables, AgreesWithTheNestedLoopUnderEveryOption) {
    std::mt19937 random(20261209);
    const std::vector<std::string> names = {"A", "a", "B", "M\xF6tor"};
    const std::vector<std::string> values = {"",
                                             "a",
                                             "A",
                                             " a",
                                             "a ",
                                             "A\t",
                                             "\xA0"
                                             "a",
                                             "b",
                                             "\xC4",
                                             "\xE4",
                                             "  ",
                                             "a b"};
    const auto draw = [&](const std::vector<std::string>& from) {
        return from[random() % from.size()];
    };
    for (int combination = 0; combination < 8; ++combination) {
        const ComparisonOptions options =
            Options(combination & 1, (combination & 2) != 0, (combination & 4) != 0);
        for (int round = 0; round < 150; ++round) {
            SymbolTable t1, t2;
            const auto fill = [&](SymbolTable& table) {
                const auto n = static_cast<std::int32_t>(random() % 14);
                for (std::int32_t i = 1; i <= n; ++i)
                    table.Assign(i, draw(names), draw(values), draw(values), draw(values));
                return n;
            };
            const std::int32_t n1 = fill(t1), n2 = fill(t2);
            const Comparison fast = CompareTables(t1, n1, t2, n2, options);
            ASSERT_TRUE(fast.SameFindings(CompareTablesNestedLoop(t1, n1, t2, n2, options)))
                << "options " << combination << ", round " << round;
            for (std::int32_t k : fast.changed) {
                const MatchedPair& pair = fast.pairs[static_cast<std::size_t>(k)];
                const SymbolEntry a = fast.Record1(pair), b = fast.Record2(pair);
                const std::uint8_t expected =
                    (SameField(a.designation, b.designation, options) ? 0 : kDesignationDiffers) |
                    (options.ignoreClassifications ||
                             SameField(a.classification1, b.classification1, options)
                         ? 0
                         : kClassification1Differs) |
                    (options.ignoreClassifications ||
                             SameField(a.classification2, b.classification2, options)
                         ? 0
                         : kClassification2Differs);
                ASSERT_EQ(pair.differences, expected)
                    << "options " << combination << ", round " << round;
            }
        }
    }
}

}  // namespace
