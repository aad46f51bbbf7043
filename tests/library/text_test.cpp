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
