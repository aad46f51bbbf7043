#include "library/text.h"

#include <gtest/gtest.h>

#include <algorithm>
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
