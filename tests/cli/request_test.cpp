// The command line of libcompare-cli as a request: what each way of calling
// it asks for, before anything is read.
#include "cli/request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = CliRequest::Kind;

struct RequestCase {
    const char* name;
    std::vector<std::string> arguments;
    Kind kind;
    ReportFormat format = ReportFormat::kText;                  // kCompare
    ArgumentProblem problem = ArgumentProblem::kNotUnderstood;  // kInvalid
    std::string given = {};   // kInvalid: what is at fault; kCompare, kList: library 1
    std::string second = {};  // kCompare: library 2
};

TEST(ParseArguments, EachCommandLineAsksForOneThing) {
    using P = ArgumentProblem;
    const RequestCase cases[] = {
        {"two files", {"a.1", "b.1"}, Kind::kCompare, ReportFormat::kText, {}, "a.1", "b.1"},
        {"--format csv",
         {"--format", "csv", "a.1", "b.1"},
         Kind::kCompare,
         ReportFormat::kCsv,
         {},
         "a.1",
         "b.1"},
        {"-f csv-excel",
         {"-f", "csv-excel", "a.1", "b.1"},
         Kind::kCompare,
         ReportFormat::kCsvExcel,
         {},
         "a.1",
         "b.1"},
        {"--format=json after the files",
         {"a.1", "b.1", "--format=json"},
         Kind::kCompare,
         ReportFormat::kJson,
         {},
         "a.1",
         "b.1"},
        {"--format html",
         {"--format", "html", "a.1", "b.1"},
         Kind::kCompare,
         ReportFormat::kHtml,
         {},
         "a.1",
         "b.1"},
        {"-- before a file like an option",
         {"--", "-x.1", "b.1"},
         Kind::kCompare,
         ReportFormat::kText,
         {},
         "-x.1",
         "b.1"},
        {"--help", {"--help"}, Kind::kShow},
        {"-h among files", {"a.1", "-h", "b.1"}, Kind::kShow},
        {"--version", {"--version"}, Kind::kShow},
        {"nothing", {}, Kind::kInvalid, {}, P::kNotTwoFiles},
        {"one file", {"a.1"}, Kind::kInvalid, {}, P::kNotTwoFiles},
        {"three files", {"a.1", "b.1", "c.1"}, Kind::kInvalid, {}, P::kNotTwoFiles},
        {"a third after --", {"--", "a.1", "b.1", "-x"}, Kind::kInvalid, {}, P::kNotTwoFiles},
        {"unknown option",
         {"--farbe", "a.1", "b.1"},
         Kind::kInvalid,
         {},
         P::kUnknownOption,
         "--farbe"},
        {"unknown option alone", {"-x"}, Kind::kInvalid, {}, P::kUnknownOption, "-x"},
        {"unknown option after the files",
         {"a.1", "b.1", "-y"},
         Kind::kInvalid,
         {},
         P::kUnknownOption,
         "-y"},
        {"--format without value", {"--format"}, Kind::kInvalid, {}, P::kFormatWithoutValue},
        {"--format= with files",
         {"--format=", "a.1", "b.1"},
         Kind::kInvalid,
         {},
         P::kFormatWithoutValue},
        {"--format twice",
         {"-f", "json", "-f", "csv", "a.1", "b.1"},
         Kind::kInvalid,
         {},
         P::kFormatRepeated},
        {"unknown format",
         {"--format", "xml", "a.1", "b.1"},
         Kind::kInvalid,
         {},
         P::kUnknownFormat,
         "xml"},
        {"unknown format before too few files",
         {"--format", "xml", "a.1"},
         Kind::kInvalid,
         {},
         P::kNotTwoFiles},
        // One library as text.
        {"--list", {"--list", "a.1"}, Kind::kList, {}, {}, "a.1"},
        {"-l after the file", {"a.1", "-l"}, Kind::kList, {}, {}, "a.1"},
        {"--list twice", {"--list", "--list", "a.1"}, Kind::kList, {}, {}, "a.1"},
        {"--list, -- before a file like an option",
         {"--list", "--", "-x.1"},
         Kind::kList,
         {},
         {},
         "-x.1"},
        {"--list and --help", {"--list", "a.1", "--help"}, Kind::kShow},
        {"--list alone", {"--list"}, Kind::kInvalid, {}, P::kListWithoutFile},
        {"--list with two files",
         {"--list", "a.1", "b.1"},
         Kind::kInvalid,
         {},
         P::kListWithComparison},
        {"--list with three files",
         {"a.1", "--list", "b.1", "c.1"},
         Kind::kInvalid,
         {},
         P::kListWithComparison},
        {"--list with a format",
         {"--list", "--format", "csv", "a.1"},
         Kind::kInvalid,
         {},
         P::kListWithComparison},
        {"--list with a format and no file",
         {"--list", "-f", "json"},
         Kind::kInvalid,
         {},
         P::kListWithComparison},
        {"--list with an unknown option",
         {"--list", "-x", "a.1"},
         Kind::kInvalid,
         {},
         P::kUnknownOption,
         "-x"},
        {"--list= takes no value",
         {"--list=a.1"},
         Kind::kInvalid,
         {},
         P::kUnknownOption,
         "--list=a.1"},
        {"--list after -- is a file's name",
         {"--", "--list", "a.1"},
         Kind::kCompare,
         ReportFormat::kText,
         {},
         "--list",
         "a.1"},
    };
    for (const RequestCase& c : cases) {
        const CliRequest request = ParseArguments(c.arguments);
        ASSERT_EQ(request.kind, c.kind) << c.name;
        switch (c.kind) {
            case Kind::kCompare:
                EXPECT_EQ(request.compare.format, c.format) << c.name;
                EXPECT_EQ(request.compare.path1, c.given) << c.name;
                EXPECT_EQ(request.compare.path2, c.second) << c.name;
                break;
            case Kind::kList:
                EXPECT_EQ(request.list.path, c.given) << c.name;
                break;
            case Kind::kShow:
                EXPECT_FALSE(request.text.empty()) << c.name;
                break;
            case Kind::kTake:  // take_request_test.cpp
                break;
            case Kind::kInvalid:
                EXPECT_EQ(request.problem, c.problem) << c.name;
                EXPECT_EQ(request.given, c.given) << c.name;
                break;
        }
    }
}

// --ignore-case, --ignore-blanks and --ignore-classifications set the
// comparison's options, anywhere before "--"; with --list they are a usage
// error, as --format is.
TEST(ParseArguments, ComparisonOptions) {
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        ComparisonOptions options;
        Kind kind = Kind::kCompare;
    } rows[] = {
        {"none", {"a.1", "b.1"}, {}},
        {"--ignore-case", {"--ignore-case", "a.1", "b.1"}, {.ignoreCase = true}},
        {"--ignore-blanks after the files",
         {"a.1", "b.1", "--ignore-blanks"},
         {.ignoreBlanks = true}},
        {"--ignore-classifications with a format",
         {"--format", "json", "--ignore-classifications", "a.1", "b.1"},
         {.ignoreClassifications = true}},
        {"all three",
         {"--ignore-blanks", "--ignore-classifications", "a.1", "--ignore-case", "b.1"},
         {true, true, true}},
        {"given twice", {"--ignore-case", "--ignore-case", "a.1", "b.1"}, {.ignoreCase = true}},
        {"after --, a file", {"a.1", "--", "--ignore-case"}, {}},
        {"with --list", {"--list", "--ignore-case", "a.1"}, {}, Kind::kInvalid},
        {"a misspelt option", {"--ignore-cases", "a.1", "b.1"}, {}, Kind::kInvalid},
    };
    for (const auto& row : rows) {
        const CliRequest request = ParseArguments(row.arguments);
        ASSERT_EQ(request.kind, row.kind) << row.name;
        if (row.kind == Kind::kCompare) {
            EXPECT_TRUE(request.compare.options == row.options) << row.name;
        }
    }
    EXPECT_EQ(ParseArguments({"--list", "--ignore-blanks", "a.1"}).problem,
              ArgumentProblem::kListWithComparison);
    EXPECT_EQ(ParseArguments({"--ignore-cases", "a.1", "b.1"}).given, "--ignore-cases");
    // The help names them.
    const std::string help = ParseArguments({"--help"}).text;
    for (const char* option : {"--ignore-case", "--ignore-blanks", "--ignore-classifications"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

}  // namespace
