// The reports written in memory: how the text report shows names, values and
// paths.
#include "report/report.h"

#include <gtest/gtest.h>

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

}  // namespace
