// The command line of libcompare-cli --take as a request.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/request.h"
#include "compare/take_over.h"

namespace {

struct TakeCase {
    const char* name;
    std::vector<std::string> arguments;
    unsigned kinds = 0;                               // a take-over's, when no problem
    std::optional<TakeArgumentProblem> problem = {};  // what is wrong with --take or --output
    std::string given = {};                           // the kind at fault
};

TEST(ParseArguments, TakeOver) {
    using P = TakeArgumentProblem;
    const unsigned all = kTakeChanged | kTakeAdded | kTakeRemoved;
    const TakeCase cases[] = {
        {"every kind", {"--take=changed,added,removed", "--output=o.1", "a.1", "b.1"}, all},
        {"separate values", {"--take", "removed", "--output", "o.1", "a.1", "b.1"}, kTakeRemoved},
        {"a kind twice", {"--take=added,added", "--output=o.1", "a.1", "b.1"}, kTakeAdded},
        {"options after the files", {"a.1", "b.1", "--output=o.1", "--take=changed"}, kTakeChanged},
        {"an unknown kind",
         {"--take=changed,Added", "--output=o.1", "a.1", "b.1"},
         0,
         P::kUnknownKind,
         "Added"},
        {"an empty kind", {"--take=,added", "--output=o.1", "a.1", "b.1"}, 0, P::kUnknownKind, ""},
        {"--take=", {"--take=", "--output=o.1", "a.1", "b.1"}, 0, P::kTakeWithoutValue},
        {"--take last", {"--output=o.1", "a.1", "b.1", "--take"}, 0, P::kTakeWithoutValue},
        {"--take before an option",
         {"--take", "--output=o.1", "a.1", "b.1"},
         0,
         P::kTakeWithoutValue},
        {"--output=", {"--take=added", "--output=", "a.1", "b.1"}, 0, P::kOutputWithoutValue},
        {"--take twice",
         {"--take=added", "--take", "changed", "--output=o", "a.1", "b.1"},
         0,
         P::kTakeRepeated},
        {"--output twice",
         {"--take=added", "--output=o", "--output=p", "a.1", "b.1"},
         0,
         P::kOutputRepeated},
        {"without --output", {"--take=added", "a.1", "b.1"}, 0, P::kWithoutOutput},
        {"--output alone", {"--output=o.1", "a.1", "b.1"}, 0, P::kOutputWithoutTake},
        {"with --format",
         {"--take=added", "--output=o.1", "-f", "csv", "a.1", "b.1"},
         0,
         P::kWithFormat},
        {"with --list", {"--list", "--take=added", "--output=o.1", "a.1"}, 0, P::kWithList},
        {"after --, a file", {"--", "--take=added", "b.1"}, 0},
    };
    for (const TakeCase& c : cases) {
        const CliRequest request = ParseArguments(c.arguments);
        if (c.problem) {
            EXPECT_EQ(request.kind, CliRequest::Kind::kInvalid) << c.name;
            EXPECT_EQ(request.takeProblem, c.problem) << c.name;
            EXPECT_EQ(request.given, c.given) << c.name;
        } else if (c.kinds == 0) {  // no take-over at all
            EXPECT_EQ(request.kind, CliRequest::Kind::kCompare) << c.name;
            EXPECT_EQ(request.compare.path1, "--take=added") << c.name;
        } else {
            EXPECT_EQ(request.kind, CliRequest::Kind::kTake) << c.name;
            EXPECT_EQ(request.take.kinds, c.kinds) << c.name;
            EXPECT_EQ(request.take.output, "o.1") << c.name;
            EXPECT_EQ(request.compare.path1, "a.1") << c.name;
            EXPECT_EQ(request.compare.path2, "b.1") << c.name;
        }
    }
}

// One library and --take: the files are what is wrong.
TEST(ParseArguments, TakeOverWithOneLibrary) {
    const CliRequest request = ParseArguments({"--take=added", "--output=o.1", "a.1"});
    EXPECT_EQ(request.kind, CliRequest::Kind::kInvalid);
    EXPECT_FALSE(request.takeProblem);
    EXPECT_EQ(request.problem, ArgumentProblem::kNotTwoFiles);
}

}  // namespace
