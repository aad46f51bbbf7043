// The reports written in memory: how the text report shows names, values and
// paths, which fields changed, and what a filter leaves.
#include "report/report.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "library/text.h"
#include "test_support.h"

namespace {

Comparison Compare(const std::vector<LongRecord>& one, const std::vector<LongRecord>& two,
                   const ComparisonOptions& options = {}) {
    SymbolTable tables[2];
    for (int side = 0; side < 2; ++side) {
        const auto& records = side == 0 ? one : two;
        for (std::size_t i = 0; i < records.size(); ++i)
            tables[side].Assign(static_cast<std::int64_t>(i + 1), records[i][0], records[i][1],
                                records[i][2], records[i][3]);
    }
    return CompareTables(tables[0], static_cast<std::int32_t>(one.size()), tables[1],
                         static_cast<std::int32_t>(two.size()), options);
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

// A filter leaves what the dialog's lists show: names that hold the search
// text, ignoring case and accents (the common list by library 2's name), and
// with "only changed" just the changed common entries; the text and the JSON
// say which filter applied and count what is shown.
TEST(Reports, AFilterLeavesWhatTheListsShow) {
    const Comparison c = Compare(
        {{"Relais", "a"},
         {"Sch\xFCtz", "3-polig"},
         {"Taster", "x"},
         {"Motor"},
         {"Lampe"},
         {"Kr\x8Ane"}},
        {{"Relais", "a"}, {"Sch\xFCtz", "4-polig"}, {"Taster", "y"}, {"motor"}, {"Z\xE4hler"}});
    const struct {
        ReportFilter filter;
        const char* common;  // names shown, as JSON gives them
        const char* only1;
        const char* only2;
        const char* changed;
        const char* filterLine;  // and the line after it, in the text
    } rows[] = {
        {{"sch\xFC"},
         "Schütz;",
         "",
         "",
         "Schütz;",
         "Filter: Suche „schü“\nGezeigt: 1 gemeinsam, davon 1 geändert · 0 nur in Bibliothek 1 · 0 "
         "nur in Bibliothek 2\n\n"},
        {{"\xDCTZ"}, "Schütz;", "", "", "Schütz;", "Filter: Suche „ÜTZ“\n"},
        {{"mot"}, "", "Motor;", "motor;", "", "Gezeigt: 0 gemeinsam, davon 0 geändert · 1 nur in"},
        {{"\x9A"},
         "Relais;Schütz;Taster;",
         "Kr\u0160ne;",
         "",
         "Schütz;Taster;",
         "Filter: Suche „š“\n"},
        {{"", true},
         "Schütz;Taster;",
         "Motor;Lampe;Kr\u0160ne;",
         "motor;Zähler;",
         "Schütz;Taster;",
         "Filter: nur geänderte\nGezeigt: 2 gemeinsam, davon 2 geändert · 3 nur"},
        {{"e", true},
         "Taster;",
         "Lampe;Kr\u0160ne;",
         "Zähler;",
         "Taster;",
         "Filter: Suche „e“, nur geänderte\n"},
        {{"r", false},
         "Relais;Taster;",
         "Motor;Kr\u0160ne;",
         "motor;Zähler;",
         "Taster;",
         "Gezeigt: 2 gemeinsam, davon 1 geändert · 2 nur in Bibliothek 1 · 2 nur"},
        {{"\x84"}, "", "", "", "", "Filter: Suche „„„“\n"},
        {{std::string(1, '\0')}, "", "", "", "", "Filter: Suche „␀“\n"},
    };
    for (const auto& row : rows) {
        const ReportSources sources{"a.1", "b.1", row.filter};
        const std::string what = row.filter.search + (row.filter.onlyChanged ? " (changed)" : "");
        rapidjson::Document json;
        json.Parse(Report(c, ReportFormat::kJson, sources).c_str());
        ASSERT_FALSE(json.HasParseError()) << what;
        const auto names = [&json](const char* list, const char* key = "symbol") {
            std::string joined;
            for (const auto& entry : json[list].GetArray())
                joined += std::string(entry[key].GetString()) + ";";
            return joined;
        };
        EXPECT_EQ(names("common"), row.common) << what;
        EXPECT_EQ(names("only1"), row.only1) << what;
        EXPECT_EQ(names("only2"), row.only2) << what;
        EXPECT_EQ(names("changed"), row.changed) << what;
        for (const auto& [list, total] : {std::pair{"common", 3u}, std::pair{"changed", 2u},
                                          std::pair{"only1", 3u}, std::pair{"only2", 2u}}) {
            EXPECT_EQ(json["counts"][list].GetUint(), json[list].Size()) << what << list;
            EXPECT_EQ(json["totals"][list].GetUint(), total) << what << list;
        }
        EXPECT_EQ(json["filter"]["onlyChanged"].GetBool(), row.filter.onlyChanged) << what;

        const std::string text = Report(c, ReportFormat::kText, sources);
        EXPECT_NE(text.find("\n3 gemeinsam, davon 2 geändert · 3 nur in Bibliothek 1 · 2 nur in "
                            "Bibliothek 2\nFilter: "),
                  std::string::npos)
            << what << "\n"
            << text;
        EXPECT_NE(text.find(row.filterLine), std::string::npos) << what << "\n" << text;

        // CSV: the rows shown, nothing else.
        const std::string csv = Report(c, ReportFormat::kCsv, sources);
        const std::string plain = Report(c, ReportFormat::kCsv, {"a.1", "b.1"});
        EXPECT_EQ(csv.substr(0, csv.find('\n')), plain.substr(0, plain.find('\n')));
        const auto lines = [](const std::string& s, const char* prefix) {
            std::size_t n = 0;
            for (std::size_t at = 0; (at = s.find(prefix, at)) != std::string::npos; ++at) ++n;
            return n;
        };
        EXPECT_EQ(lines(csv, "\ncommon,"), json["common"].Size()) << what;
        EXPECT_EQ(lines(csv, "\nonly1,"), json["only1"].Size()) << what;
        EXPECT_EQ(lines(csv, "\nonly2,"), json["only2"].Size()) << what;

        // HTML: the filter in the header as the text words it, the sections
        // counting what is shown.
        const std::string html = Report(c, ReportFormat::kHtml, sources);
        const std::string filterLine = row.filterLine;
        const std::size_t colon = filterLine.find(": ");
        const std::string words = filterLine.substr(colon + 2);
        EXPECT_NE(html.find("<dt>" + filterLine.substr(0, colon) + "</dt><dd>" +
                            words.substr(0, words.find('\n'))),
                  std::string::npos)
            << what << "\n"
            << html;
        EXPECT_NE(html.find("<dt>Ergebnis</dt><dd>3 gemeinsam, davon 2 geändert"),
                  std::string::npos)
            << what;
        for (const auto& [heading, list] : {std::pair{"Geänderte Symbole", "changed"},
                                            std::pair{"Symbole nur in Bibliothek 1", "only1"},
                                            std::pair{"Symbole nur in Bibliothek 2", "only2"}})
            EXPECT_NE(html.find(std::string("<h2>") + heading + " (" +
                                std::to_string(json[list].Size()) + ")</h2>"),
                      std::string::npos)
                << what << " " << heading;
        EXPECT_EQ(lines(html, "<tbody><tr><td"), json["changed"].Size()) << what;
    }

    // Without a filter, neither a filter line nor a filter key.
    const std::string text = Report(c, ReportFormat::kText, {"a.1", "b.1"});
    EXPECT_EQ(text.find("Filter"), std::string::npos);
    EXPECT_NE(text.find("Bibliothek 2\n\nGeänderte Symbole (2)\n"), std::string::npos) << text;
    rapidjson::Document json;
    json.Parse(Report(c, ReportFormat::kJson, {"a.1", "b.1"}).c_str());
    EXPECT_FALSE(json.HasMember("filter") || json.HasMember("totals"));
    const std::string html = Report(c, ReportFormat::kHtml, {"a.1", "b.1"});
    EXPECT_EQ(html.find("Filter"), std::string::npos);
    EXPECT_EQ(html.find("Gezeigt"), std::string::npos);
}

// The text, the JSON and the HTML say which comparison options were in
// force, and only when any was; what they make equal is no change in any
// report.
TEST(Reports, SayWhichOptionsWereInForce) {
    const std::vector<LongRecord> one = {{"A", "Relais ", "k"}, {"B", "MOTOR", "k"}},
                                  two = {{"A", "Relais", "K"}, {"B", "motor", "k"}};
    const struct {
        const char* what;
        ComparisonOptions options;
        const char* words;  // empty: no options
        const char* changed;
    } rows[] = {
        {"none", {}, "", "2"},
        {"case", {.ignoreCase = true}, "Groß-/Kleinschreibung der Felder ignorieren", "1"},
        {"blanks", {.ignoreBlanks = true}, "Leerzeichen am Rand ignorieren", "2"},
        {"classifications",
         {.ignoreClassifications = true},
         "Klassifizierungen nicht vergleichen",
         "2"},
        {"all",
         {true, true, true},
         "Groß-/Kleinschreibung der Felder ignorieren, Leerzeichen am Rand ignorieren, "
         "Klassifizierungen nicht vergleichen",
         "0"},
    };
    for (const auto& row : rows) {
        const Comparison c = Compare(one, two, row.options);
        const ReportSources sources{"a.1", "b.1"};
        const std::string words = row.words;
        const std::string text = Report(c, ReportFormat::kText, sources);
        EXPECT_NE(text.find(std::string("davon ") + row.changed + " geändert"), std::string::npos)
            << row.what << "\n"
            << text;
        EXPECT_EQ(text.find("Vergleichsoptionen") != std::string::npos, !words.empty()) << row.what;
        if (!words.empty()) {
            EXPECT_NE(text.find(" Bibliothek 2\nVergleichsoptionen: " + words + "\n\n"),
                      std::string::npos)
                << row.what << "\n"
                << text;
        }
        EXPECT_EQ(text.find("Vergleichsoption „Klassifizierungen nicht vergleichen“") !=
                      std::string::npos,
                  row.options.ignoreClassifications)
            << row.what;

        rapidjson::Document json;
        json.Parse(Report(c, ReportFormat::kJson, sources).c_str());
        ASSERT_FALSE(json.HasParseError()) << row.what;
        EXPECT_EQ(json["counts"]["changed"].GetUint(), std::stoul(row.changed)) << row.what;
        EXPECT_EQ(json["classificationsCompared"].GetBool(), !row.options.ignoreClassifications)
            << row.what;
        ASSERT_EQ(json.HasMember("options"), !words.empty()) << row.what;
        if (!words.empty()) {
            EXPECT_EQ(json["options"]["ignoreCase"].GetBool(), row.options.ignoreCase);
            EXPECT_EQ(json["options"]["ignoreBlanks"].GetBool(), row.options.ignoreBlanks);
            EXPECT_EQ(json["options"]["ignoreClassifications"].GetBool(),
                      row.options.ignoreClassifications);
        }

        const std::string html = Report(c, ReportFormat::kHtml, sources);
        EXPECT_EQ(
            html.find("<dt>Vergleichsoptionen</dt><dd>" + words + "</dd>") != std::string::npos,
            !words.empty())
            << row.what;
        EXPECT_NE(html.find(std::string("<h2>Geänderte Symbole (") + row.changed + ")</h2>"),
                  std::string::npos)
            << row.what;

        // CSV: nothing about the options, only what they left changed.
        const std::string csv = Report(c, ReportFormat::kCsv, sources);
        EXPECT_EQ(csv.find("ignore"), std::string::npos) << row.what;
        std::size_t changedRows = 0;
        for (std::size_t at = 0; (at = csv.find(",1,", at)) != std::string::npos; ++at)
            ++changedRows;
        EXPECT_EQ(changedRows, std::stoul(row.changed)) << row.what << "\n" << csv;
    }
}

// The text report's lists in display order, whatever order the libraries
// hold their names in: long enough to be written in several blocks, with a
// name held many times on both sides whose rows run across blocks, and case
// and accent twins. Each list must read as the names of its entries sorted
// by a plain stable sort.
TEST(TextReport, ListsNamesInDisplayOrderAcrossBlocks) {
    struct Case {
        const char* what;
        int names;     // records of each library besides the repeated name
        int heldIn1;   // times library 1 holds the repeated name
        int heldIn2;   // and library 2
        bool inOrder;  // records sorted by name, or in random order
    } cases[] = {
        {"a few names", 40, 2, 3, false},
        {"random order, a long run", 3000, 2, 1500, false},
        {"random order, many short runs", 5000, 40, 60, false},
        {"in order, a long run", 3000, 3, 900, true},
    };
    std::uint32_t seed = 99;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
    for (const Case& c : cases) {
        std::vector<LongRecord> libs[2];
        for (int side = 0; side < 2; ++side) {
            for (int i = 0; i < c.names; ++i) {
                // Shared, or one side's own; some in another case or with
                // an accent.
                const std::uint32_t n = next() % static_cast<std::uint32_t>(c.names);
                std::string name = (n % 3 == 0  ? "Sym"
                                    : side == 0 ? "Eins"
                                                : "Zwei") +
                                   std::to_string(n % 97) + "-" + std::to_string(n);
                if (next() % 5 == 0) name[0] = static_cast<char>(name[0] + 32);
                if (next() % 9 == 0) name.insert(name.begin() + 1, '\xE4');
                libs[side].push_back({name, "B", "", ""});
            }
            for (int k = 0; k < (side == 0 ? c.heldIn1 : c.heldIn2); ++k)
                libs[side].push_back({"Oft", "B", "", ""});
            if (c.inOrder)
                std::stable_sort(libs[side].begin(), libs[side].end(),
                                 [](const LongRecord& a, const LongRecord& b) {
                                     return DisplayLess(a[0], b[0]);
                                 });
            else
                for (std::size_t i = libs[side].size(); i > 1; --i)
                    std::swap(libs[side][i - 1], libs[side][next() % i]);
        }
        const Comparison comparison = Compare(libs[0], libs[1]);
        const std::string text = Report(comparison, ReportFormat::kText, {"a.1", "b.1"});
        // The lines of one list, and what they must be.
        const auto listed = [&text](const std::string& heading) {
            std::vector<std::string> lines;
            std::size_t at = text.find("\n" + heading + " (");
            if (at == std::string::npos) return lines;
            at = text.find('\n', at + 1) + 1;
            for (std::size_t end; (end = text.find('\n', at)) != at; at = end + 1)
                lines.push_back(text.substr(at, end - at));
            return lines;
        };
        const auto expected = [](std::vector<std::string_view> names) {
            std::stable_sort(names.begin(), names.end(), DisplayLess);
            std::vector<std::string> lines;
            for (std::string_view name : names) {
                std::string line = "  ";
                line += Windows1252ToUtf8(name);
                lines.push_back(line);
            }
            return lines;
        };
        std::vector<std::string_view> only1, only2, common;
        for (std::int32_t r : comparison.only1) only1.push_back(comparison.lib1.table.Symbol(r));
        for (std::int32_t r : comparison.only2) only2.push_back(comparison.lib2.table.Symbol(r));
        for (const MatchedPair& pair : comparison.pairs)
            common.push_back(comparison.lib2.table.Symbol(pair.record2));
        EXPECT_GE(common.size(), static_cast<std::size_t>(c.heldIn1 * c.heldIn2)) << c.what;
        EXPECT_EQ(listed("Symbole nur in Bibliothek 1"), expected(only1)) << c.what;
        EXPECT_EQ(listed("Symbole nur in Bibliothek 2"), expected(only2)) << c.what;
        EXPECT_EQ(listed("Gemeinsame Symbole"), expected(common)) << c.what;
    }
}

}  // namespace
