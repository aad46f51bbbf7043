// The reports written in memory: how the text report shows names, values and
// paths, and which fields changed.
#include "report/report.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

Comparison Compare(const std::vector<LongRecord>& one, const std::vector<LongRecord>& two) {
    SymbolTable tables[2];
    for (int side = 0; side < 2; ++side) {
        const auto& records = side == 0 ? one : two;
        for (std::size_t i = 0; i < records.size(); ++i)
            tables[side].Assign(static_cast<std::int64_t>(i + 1), records[i][0], records[i][1],
                                records[i][2], records[i][3]);
    }
    return CompareTables(tables[0], static_cast<std::int32_t>(one.size()), tables[1],
                         static_cast<std::int32_t>(two.size()));
}

std::string Report(const Comparison& c, ReportFormat format, const ReportSources& sources) {
    std::string out;
    EXPECT_TRUE(WriteReport(c, sources, format, [&out](std::string_view bytes) {
        out.append(bytes);
        return true;
    }));
    return out;
}

// No two names or values print the same, and nothing in a path or a name can
// break a line or turn the text around on a terminal.
TEST(TextReport, ShowsNamesValuesAndPathsUnmistakably) {
    const struct {
        const char* what;
        std::vector<LongRecord> one, two;
        std::string path1;
        std::string expected;
    } rows[] = {
        {"a plain name", {{"Relais"}}, {}, "a.1", "(1)\n  Relais\n"},
        {"a blank in front", {{" x"}}, {}, "a.1", "(1)\n  „ x“\n"},
        {"a blank behind", {{"x "}}, {}, "a.1", "(1)\n  „x “\n"},
        {"a no-break space in front", {{"\xA0x"}}, {}, "a.1", "(1)\n  „\u00A0x“\n"},
        {"quotes around a blank", {{"\x84 x\x93"}}, {}, "a.1", "(1)\n  „„„ x“““\n"},
        {"a quote inside", {{"a\x93z"}}, {}, "a.1", "(1)\n  „a““z“\n"},
        {"a value holding quotes",
         {{"K", "alt"}},
         {{"K", "alt\x93 \x96 \x84neu"}},
         "a.1",
         "  K\n    Bezeichnung: „alt“ → „alt““ – „„neu“\n"},
        {"control characters in a value",
         {{"K", "a\x1B[31m"}},
         {{"K", "a\r"}},
         "a.1",
         "    Bezeichnung: „a␛[31m“ → „a␍“\n"},
        {"a right-to-left override in a path",
         {},
         {},
         "/tmp/a\u202Egnp.1",
         "Bibliothek 1: /tmp/a\uFFFDgnp.1 ("},
        {"every other bidirectional control in a path",
         {},
         {},
         "\u061C\u200E\u200F\u202A\u202B\u202C\u202D\u2066\u2067\u2068\u2069.1",
         "Bibliothek 1: \uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD.1 ("},
    };
    for (const auto& row : rows) {
        const std::string text =
            Report(Compare(row.one, row.two), ReportFormat::kText, {row.path1, "b.1"});
        EXPECT_NE(text.find(row.expected), std::string::npos) << row.what << "\n" << text;
    }
}

// Each common entry says which of the compared fields changed, in every
// format; classifications only where both libraries have them.
TEST(Reports, NameTheFieldsThatChanged) {
    const Comparison c =
        Compare({{"A", "d", "k", "x"}, {"B", "d", "k", "x"}, {"C", "d", "k", "x"}},
                {{"A", "e", "k", "y"}, {"B", "d", "l", "x"}, {"C", "d", "k", "x"}});
    const ReportSources sources{"a.1", "b.1"};
    const std::string csv = Report(c, ReportFormat::kCsv, sources);
    EXPECT_NE(csv.find("\r\ncommon,A,e,k,y,1,d,k,x,designation;classification2\r\n"
                       "common,B,d,l,x,1,d,k,x,classification1\r\ncommon,C,d,k,x,0,d,k,x,\r\n"),
              std::string::npos)
        << csv;
    const std::string excel = Report(c, ReportFormat::kCsvExcel, sources);
    EXPECT_NE(excel.find(";Bezeichnung, Klassifizierung 2\r\n"), std::string::npos) << excel;
    EXPECT_NE(excel.find(";Klassifizierung 1\r\n"), std::string::npos) << excel;

    rapidjson::Document json;
    json.Parse(Report(c, ReportFormat::kJson, sources).c_str());
    ASSERT_FALSE(json.HasParseError());
    const auto names = [](const rapidjson::Value& list) {
        std::string joined;
        for (const auto& name : list.GetArray()) joined += std::string(name.GetString()) + ";";
        return joined;
    };
    ASSERT_EQ(json["changed"].Size(), 2u);
    EXPECT_EQ(names(json["changed"][0]["changedFields"]), "designation;classification2;");
    EXPECT_EQ(names(json["changed"][1]["changedFields"]), "classification1;");

    // Classifications are not compared against a table without them.
    SymbolTable longTable, shortTable;
    longTable.Assign(1, "A", "d", "k", "x");
    const std::string shortFile = ShortLibrary({{"A", "e"}});
    shortTable.ReplaceWithFile(shortFile, nullptr, LibraryLayout::kShort, 1);
    const std::string notCompared =
        Report(CompareTables(longTable, 1, shortTable, 1), ReportFormat::kCsv, sources);
    EXPECT_NE(notCompared.find(",1,d,k,x,designation\r\n"), std::string::npos) << notCompared;
}

}  // namespace
