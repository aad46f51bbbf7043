#include "library/symbol_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SymbolTables, StartEmpty) {
    EXPECT_EQ(lib1Count, 0);
    EXPECT_EQ(lib2Count, 0);
    EXPECT_EQ(commonCount, 0);
    for (const SymbolTable* table : {&lib1Table, &lib2Table, &commonTable})
        for (std::int64_t slot : {0, 1, 2504})
            EXPECT_TRUE((*table)[slot].symbol.empty() && (*table)[slot].designation.empty());
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

TEST(SymbolTable, ReplaceKeepsStaleSlotsAlive) {
    SymbolTable table;
    for (int i = 0; i < 5; ++i) table.Assign(i, "old" + std::to_string(i));
    SymbolTable source;
    source.Assign(0, "new0");
    source.Assign(1, "new1");
    table.Replace({source[0], source[1]}, source.Storage());
    source = SymbolTable();  // the table must keep the bytes alive on its own
    EXPECT_EQ(table.Size(), 5);
    EXPECT_EQ(table[0].symbol, "new0");
    EXPECT_EQ(table[1].symbol, "new1");
    EXPECT_EQ(table[2].symbol, "old2");
    EXPECT_EQ(table[4].symbol, "old4");
}

}  // namespace
