#include "library/symbol_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The process-wide tables are three tables of their own: what is written into
// one shows in it alone, and a fresh table in its place holds nothing again,
// not even the bytes it held.
TEST(SymbolTables, EachHoldsItsOwnAndAFreshOneNothing) {
    const struct {
        SymbolTable* table;
        const char* name;
    } tables[] = {{&lib1Table, "lib1"}, {&lib2Table, "lib2"}, {&commonTable, "common"}};
    for (const auto& written : tables) {
        written.table->Assign(1, written.name, "d", "k1", "k2");
        for (const auto& other : tables)
            EXPECT_EQ((*other.table)[1].symbol,
                      other.table == written.table ? written.name : std::string_view())
                << written.name << " written, " << other.name << " read";
        ASSERT_FALSE(written.table->Storage().empty()) << written.name;
        const std::weak_ptr<const void> bytes = written.table->Storage().front();
        *written.table = SymbolTable();
        EXPECT_TRUE(bytes.expired()) << written.name;
        EXPECT_EQ(written.table->Size(), 0) << written.name;
        EXPECT_TRUE(written.table->Storage().empty()) << written.name;
        EXPECT_TRUE((*written.table)[1].symbol.empty()) << written.name;
    }
}

TEST(SymbolTable, SlotsOutsideTheTableReadEmpty) {
    SymbolTable table;
    table.Assign(2, "X", "Y", "Z", "W");
    EXPECT_EQ(table.Size(), 3);
    EXPECT_TRUE(table[1].symbol.empty());
    EXPECT_TRUE(table[-1].symbol.empty());
    EXPECT_TRUE(table[1'000'000].symbol.empty());
    EXPECT_EQ(table[2].classification2, "W");
}

TEST(SymbolTable, AssignCopiesTheBytes) {
    SymbolTable table;
    {
        std::string name("Motor\0M", 7);
        table.Assign(1, name, "Antrieb");
        name.assign(7, '?');
    }
    EXPECT_EQ(table[1].symbol, std::string_view("Motor\0M", 7));
    EXPECT_EQ(table[1].designation, "Antrieb");
}

TEST(SymbolTable, ReplaceLetsGoOfTheEarlierContent) {
    SymbolTable table;
    for (int i = 0; i < 5; ++i) table.Assign(i, "old" + std::to_string(i));
    const std::weak_ptr<const void> oldBytes = table.Storage().front();
    SymbolTable source;
    source.Assign(0, "new0");
    source.Assign(1, "new1");
    table.Replace({source[0], source[1]}, source.Storage());
    source = SymbolTable();  // the table must keep the bytes alive on its own
    EXPECT_TRUE(oldBytes.expired());
    EXPECT_EQ(table.Size(), 2);
    EXPECT_EQ(table[1].symbol, "new1");
    EXPECT_TRUE(table[2].symbol.empty());
}

// A picked table reads its source's slots and keeps them alive; writing into
// it leaves the source alone.
TEST(SymbolTable, PickSharesTheSourceUntilWrittenTo) {
    SymbolTable picked;
    {
        SymbolTable source;
        int slot = 0;
        for (const char* name : {"s0", "s1", "s2"}) source.Assign(slot++, name);
        picked.Pick(source, {2, 0, 2});
        EXPECT_EQ(picked[2].symbol, "s2");
        picked.Assign(1, "own");
        EXPECT_EQ(source[0].symbol, "s0");
    }
    EXPECT_EQ(picked.Size(), 3);
    EXPECT_EQ(picked[0].symbol, "s2");
    EXPECT_EQ(picked[1].symbol, "own");
    EXPECT_TRUE(picked[3].symbol.empty());
}

}  // namespace

// The field rule wherever the terminator falls: in each byte of a word, just
// before the end of the file, or not at all; high bytes are no terminator.
TEST(ReadRecord, FieldsEndAtTheFirstNulOrLineFeed) {
    using namespace std::string_literals;
    for (std::size_t length = 0; length < 20; ++length)
        for (const std::string& tail : {"\0rest"s, "\nrest"s, "\n\0"s, ""s}) {
            std::string field;
            for (std::size_t i = 0; i < length; ++i) field += "a\xFF\x8A\x0B\x01"[i % 5];
            // Short layout, record 1 at byte 78; the file may end with the field.
            const std::string bytes = std::string(78, 'x') + field + tail;
            EXPECT_EQ(ReadRecordSymbol(bytes, LibraryLayout::kShort, 1), field)
                << length << " bytes, then " << tail.size();
        }
}
