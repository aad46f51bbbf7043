#include "library/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace {

TEST(Windows1252, DecodesToUtf8) {
    EXPECT_EQ(Windows1252ToUtf8("Motor"), "Motor");
    EXPECT_EQ(Windows1252ToUtf8("\xC4\xD6\xDC\xE4\xF6\xFC\xDF"), "ÄÖÜäöüß");
    EXPECT_EQ(Windows1252ToUtf8("\x80\x9F\xFF"), "€Ÿÿ");
    // Undefined bytes keep their number, so nothing is lost.
    EXPECT_EQ(Windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(Windows1252ToUtf8(std::string_view("\0", 1)), std::string_view("\0", 1));
}

TEST(DisplayOrder, SortsIgnoringCaseAndAccentsWithAFixedTieBreak) {
    std::vector<std::string> names = {"b",     "Motor", "A",     "motor",    "\xC4pfel", "Apfel",
                                      "apfel", "a",     "Zange", "\xE4pfel", "Ab",       ""};
    std::sort(names.begin(), names.end(), DisplayLess);
    const std::vector<std::string> expected = {"",      "A",     "a",        "Ab",
                                               "Apfel", "apfel", "\xC4pfel", "\xE4pfel",
                                               "b",     "Motor", "motor",    "Zange"};
    EXPECT_EQ(names, expected);
}

TEST(DisplayOrder, IsAStrictOrderOnDistinctBytes) {
    const std::vector<std::string> names = {"a", "A", "\xE0", "\xC0", "ab", "a\x81", "\x8A", "s"};
    for (const auto& x : names)
        for (const auto& y : names) {
            EXPECT_EQ(CompareForDisplay(x, y) == 0, x == y) << x << " " << y;
            EXPECT_EQ(CompareForDisplay(x, y) < 0, CompareForDisplay(y, x) > 0);
        }
}

// The fast sort must give exactly what a plain stable sort by the full
// comparison gives, above all where names agree in their first 16 bytes or
// end right there: lengths around 8 and 16, a shared prefix, case and accent
// twins, and bytes at both ends of the code page.
TEST(DisplayOrder, SortForDisplayAgreesWithTheFullComparison) {
    const std::string letters[] = {"a", "A", "\xE4", "\xC4", "b", "s", "\xDF", "\x01", "\xFF", " "};
    const std::string prefixes[] = {"", "SYM0000", "SYM00000", "Schalter-Motor-1",
                                    "abcdefghijklmno"};
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
    std::vector<std::string> names;
    for (int i = 0; i < 3000; ++i) {
        std::string name = prefixes[next() % std::size(prefixes)];
        for (std::uint32_t n = next() % 12; n > 0; --n)
            name += letters[next() % std::size(letters)];
        names.push_back(name);
    }
    const auto byName = [&](std::size_t a, std::size_t b) {
        return CompareForDisplay(names[a], names[b]) < 0;
    };
    std::vector<std::size_t> shuffled(names.size());
    for (std::size_t i = 0; i < shuffled.size(); ++i) shuffled[i] = i;
    std::vector<std::size_t> inOrder = shuffled;
    std::stable_sort(inOrder.begin(), inOrder.end(), byName);
    // In order, in a few runs (names added at the end, two sorted halves),
    // just past the number of runs that are merged, and shuffled.
    const auto runs = [&](std::size_t count) {
        std::vector<std::size_t> ids = shuffled;
        for (std::size_t r = 0; r < count; ++r)
            std::stable_sort(
                ids.begin() + static_cast<std::ptrdiff_t>(r * ids.size() / count),
                ids.begin() + static_cast<std::ptrdiff_t>((r + 1) * ids.size() / count), byName);
        return ids;
    };
    for (std::size_t count : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{16},
                              std::size_t{17}, names.size()}) {
        std::vector<std::size_t> ids = runs(count);
        std::vector<std::size_t> expected = ids;
        std::stable_sort(expected.begin(), expected.end(), byName);
        SortForDisplay(ids, [&](std::size_t id) { return std::string_view(names[id]); });
        EXPECT_EQ(ids, expected) << count << " runs";
    }
    std::vector<std::size_t> ids = inOrder;
    ids.insert(ids.end(), {0, 1, 2});  // the same names again, after their twins
    std::vector<std::size_t> expected = ids;
    std::stable_sort(expected.begin(), expected.end(), byName);
    SortForDisplay(ids, [&](std::size_t id) { return std::string_view(names[id]); });
    EXPECT_EQ(ids, expected);
}

// Names in random order, as a library grown by additions anywhere: the sort
// must give what a stable sort by the full comparison gives, for short lists
// and long ones. The names share their first 16 folded bytes in many ways
// (long common beginnings, case and accent twins, ß and s), and repeat, so
// that equal names must keep the order in which they stand.
TEST(DisplayOrder, SortForDisplayOfNamesInRandomOrder) {
    const std::string beginnings[] = {"",
                                      "SYM",
                                      "Schalter-Motor-1",
                                      "schalter-motor-1",
                                      "SCH\xC4LTER-M\xD6TOR-1",
                                      "Schalter-Motor-",
                                      "Klemme\xDF",
                                      "Klemmes",
                                      "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF",
                                      "\x01"};
    const std::string letters[] = {"a", "A", "\xE4", "\xC4", "z",    "\xDF", "s", "0",
                                   "9", "-", "\x8A", "\x9A", "\xFF", "\x01", " "};
    struct Case {
        std::size_t count;  // names in the list
        std::size_t kinds;  // different names among them, at most
    } cases[] = {{0, 1},    {1, 1},       {2, 2},      {31, 31},       {33, 33},
                 {100, 10}, {1000, 1000}, {5000, 300}, {70000, 70000}, {200000, 20000}};
    std::uint32_t seed = 2024;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
    for (const Case& c : cases) {
        std::vector<std::string> kinds(c.kinds);
        for (std::string& name : kinds) {
            name = beginnings[next() % std::size(beginnings)];
            for (std::uint32_t n = next() % 20; n > 0; --n)
                name += letters[next() % std::size(letters)];
        }
        std::vector<std::string> names(c.count);
        for (std::string& name : names) name = kinds[next() % kinds.size()];
        // Ids that are not their places, so that a sort by id would show.
        std::vector<std::uint32_t> ids(c.count);
        for (std::size_t i = 0; i < ids.size(); ++i)
            ids[i] = static_cast<std::uint32_t>((i * 7919) % (c.count == 0 ? 1 : c.count));
        if (c.count % 7919 == 0) std::reverse(ids.begin(), ids.end());
        const auto nameOf = [&](std::uint32_t id) { return std::string_view(names[id]); };
        std::vector<std::uint32_t> expected = ids;
        std::stable_sort(expected.begin(), expected.end(), [&](std::uint32_t a, std::uint32_t b) {
            return CompareForDisplay(nameOf(a), nameOf(b)) < 0;
        });
        SortForDisplay(ids, nameOf);
        EXPECT_EQ(ids, expected) << c.count << " names";
    }
}

// The place in the list decides between equal names, not their ids, also
// where names first differ after 16 bytes or only in case or accents; with
// names added after them that stand in falling order (many runs), and without.
TEST(DisplayOrder, SortForDisplayKeepsEqualNamesInTheirOrder) {
    std::vector<std::string> names = {"Schalter-Motor-10",
                                      "Schalter-Motor-1",
                                      "Schalter-Motor-10",
                                      "schalter-motor-10",
                                      "Sch\xE4lter-Motor-10",
                                      "Schalter-Motor-10",
                                      "Klemme",
                                      "KLEMME",
                                      "Klemme",
                                      "a",
                                      "A",
                                      "\xC4",
                                      "a",
                                      "\xE4",
                                      "",
                                      "Stra\xDF"
                                      "e",
                                      "Strase",
                                      "Strasse",
                                      "Stra\xDF"
                                      "e"};
    const std::vector<std::uint32_t> listed = {18, 9, 0,  7, 15, 12, 5,  1,  14, 3,
                                               11, 2, 16, 8, 4,  10, 17, 13, 6};
    std::vector<std::uint32_t> reversed = listed;
    std::reverse(reversed.begin(), reversed.end());
    std::vector<std::uint32_t> fillers;  // zz29 … zz00, sorting after all others
    for (int k = 0; k < 30; ++k) {
        fillers.push_back(static_cast<std::uint32_t>(names.size()));
        names.push_back("zz" + std::to_string((29 - k) / 10) + std::to_string((29 - k) % 10));
    }
    struct Case {
        std::vector<std::uint32_t> ids;
        std::vector<std::uint32_t> expected;
    } cases[] = {
        {listed, {14, 10, 9, 12, 11, 13, 7, 8, 6, 1, 0, 5, 2, 3, 4, 16, 18, 15, 17}},
        {reversed, {14, 10, 12, 9, 11, 13, 7, 6, 8, 1, 2, 5, 0, 3, 4, 16, 15, 18, 17}},
    };
    for (const Case& c : cases)
        for (bool withFillers : {false, true}) {
            std::vector<std::uint32_t> ids = c.ids;
            std::vector<std::uint32_t> expected = c.expected;
            if (withFillers) {
                ids.insert(ids.end(), fillers.begin(), fillers.end());
                expected.insert(expected.end(), fillers.rbegin(), fillers.rend());
            }
            SortForDisplay(ids, [&](std::uint32_t id) { return std::string_view(names[id]); });
            EXPECT_EQ(ids, expected) << c.ids.front() << (withFillers ? " with fillers" : "");
        }
}

TEST(StartsWithIgnoringCase, MatchesCaseOnly) {
    struct Case {
        const char* text;
        const char* prefix;
        bool expected;
    } cases[] = {{"Motor", "mo", true},
                 {"Motor", "MOTOR", true},
                 {"Motor", "Motoren", false},
                 {"\xC4nderung", "\xE4n", true},
                 {"\xC4nderung", "an", false},
                 {"x", "", true},
                 {"\x8A"
                  "a",
                  "\x9A", true}};
    for (const auto& c : cases)
        EXPECT_EQ(StartsWithIgnoringCase(c.text, c.prefix), c.expected)
            << c.text << "/" << c.prefix;
}

}  // namespace
