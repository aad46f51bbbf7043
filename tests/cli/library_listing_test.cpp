// A library as text, one record a line (libcompare-cli --list): the order of
// the lines, the fields of each layout, control characters and the pieces the
// listing goes out in.
#include "report/library_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

// The listing of a library file image, and how many pieces it went out in.
struct Listed {
    bool ok = false;
    std::string text;
    int pieces = 0;
};

Listed ListBytes(const std::string& bytes, LibraryLayout layout, std::int32_t records) {
    auto owner = std::make_shared<std::string>(bytes);
    SymbolTable table;
    table.ReplaceWithFile(*owner, owner, layout, records);
    Listed listed;
    listed.ok = WriteLibraryListing(table, records, [&](std::string_view piece) {
        listed.text.append(piece);
        ++listed.pieces;
        return true;
    });
    return listed;
}

Listed ListLong(const std::vector<LongRecord>& records) {
    return ListBytes(LongLibrary(records), LibraryLayout::kLong,
                     static_cast<std::int32_t>(records.size()));
}

Listed ListShort(const std::vector<ShortRecord>& records) {
    return ListBytes(ShortLibrary(records), LibraryLayout::kShort,
                     static_cast<std::int32_t>(records.size()));
}

// Each record one line, in the lists' order: case and accents folded first,
// then case, then bytes; a name held twice in record order.
TEST(LibraryListing, LinesInTheOrderOfTheLists) {
    const struct {
        const char* name;
        std::vector<LongRecord> records;
        std::string expected;
    } cases[] = {
        {"empty library", {}, ""},
        {"one record, all four fields",
         {{"Relais", "Relais 24 V", "Schaltger\xE4te", "Spulen"}},
         "Relais\tRelais 24 V\tSchaltgeräte\tSpulen\n"},
        {"empty fields keep their tabs", {{"Relais"}}, "Relais\t\t\t\n"},
        {"case folded, capital first among equals",
         {{"motor", "klein"}, {"Lampe", "L"}, {"Motor", "gross"}},
         "Lampe\tL\t\t\nMotor\tgross\t\t\nmotor\tklein\t\t\n"},
        {"accents with their plain letter, ß with s",
         {{"\xDC"
           "bertrager"},
          {"Taster"},
          {"Stra\xDF"
           "e"},
          {"Strasse"},
          {"Ubahn"}},
         "Straße\t\t\t\nStrasse\t\t\t\nTaster\t\t\t\nUbahn\t\t\t\nÜbertrager\t\t\t\n"},
        {"a name held twice stays in record order",
         {{"Relais", "zweiter"}, {"Klemme"}, {"Relais", "erster"}},
         "Klemme\t\t\t\nRelais\tzweiter\t\t\nRelais\terster\t\t\n"},
        {"Windows-1252 beyond Latin-1 as UTF-8",
         {{"Euro",
           "\x80 \x84"
           "a\x93 \x96"}},
         "Euro\t€ „a“ –\t\t\n"},
    };
    for (const auto& c : cases) {
        const Listed listed = ListLong(c.records);
        EXPECT_TRUE(listed.ok) << c.name;
        EXPECT_EQ(listed.text, c.expected) << c.name;
    }
}

// The short layout has no classifications: two fields a line.
TEST(LibraryListing, ShortLayoutHasTwoFields) {
    const Listed listed =
        ListShort({{"Sch\xFCtz", "4-polig"}, {"motor", "Drehstrom"}, {"Klemme", ""}});
    EXPECT_EQ(listed.text, "Klemme\t\nmotor\tDrehstrom\nSchütz\t4-polig\n");
}

// Control characters show as visible symbols, so that no field breaks its
// line or passes for a separator; the undefined bytes show as �.
TEST(LibraryListing, ControlCharactersShowVisibly) {
    const struct {
        const char* name;
        SymbolEntry record;
        bool classifications;
        std::string expected;
    } cases[] = {
        {"tab in the symbol", {"A\tB", "x", "", ""}, false, "A␉B\tx"},
        {"carriage return and line feed", {"S", "eins\r\nzwei", "", ""}, false, "S\teins␍␊zwei"},
        {"escape in a classification", {"S", "", "\x1B[31m", "\x7F"}, true, "S\t\t␛[31m\t␡"},
        {"undefined bytes", {"\x81\x8D\x8F\x90\x9D", "", "", ""}, false, "�����\t"},
        {"a no-break space stays one", {"\xA0S", "", "", ""}, false, "\u00A0S\t"},
    };
    for (const auto& c : cases) {
        std::string line;
        AppendListingLine(c.record, c.classifications, line);
        EXPECT_EQ(line, c.expected) << c.name;
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 0) << c.name;
    }
    // From a file: a field runs on to its NUL, a tab and a CR inside it.
    const Listed listed = ListLong({{"Tab\tName", "Zeile\rEnde", "K1", "K2"}});
    EXPECT_EQ(listed.text, "Tab␉Name\tZeile␍Ende\tK1\tK2\n");
}

// A large listing goes out in several pieces, each record whole in one of
// them, every record once and in order.
TEST(LibraryListing, LargeListingsGoOutInPieces) {
    std::vector<LongRecord> records;
    constexpr int kRecords = 20000;
    for (int i = kRecords - 1; i >= 0; --i)
        records.push_back({Numbered("S", 100000 + i), Numbered("Bezeichnung ", i)});
    const Listed listed = ListLong(records);
    ASSERT_TRUE(listed.ok);
    EXPECT_GT(listed.pieces, 4);
    std::string expected;
    for (int i = 0; i < kRecords; ++i)
        expected += Numbered("S", 100000 + i) + "\t" + Numbered("Bezeichnung ", i) + "\t\t\n";
    EXPECT_EQ(listed.text, expected);

    // A sink that fails is not written to again.
    auto owner = std::make_shared<std::string>(LongLibrary(records));
    SymbolTable table;
    table.ReplaceWithFile(*owner, owner, LibraryLayout::kLong, kRecords);
    int calls = 0;
    EXPECT_FALSE(WriteLibraryListing(table, kRecords, [&](std::string_view) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1);
}

}  // namespace
