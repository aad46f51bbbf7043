#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/messages.h"
#include "report/report.h"

// Two libraries to compare and the report to write of them.
struct CompareRequest {
    std::string path1;  // as typed, UTF-8
    std::string path2;
    ReportFormat format = ReportFormat::kText;
    // --ignore-case, --ignore-blanks, --ignore-classifications.
    ComparisonOptions options;
};

// Library 2 written to `output` with the differences of `kinds` (TakeKind
// bits) from library 1 taken over (--take); the libraries in the comparison's
// request.
struct TakeRequest {
    unsigned kinds = 0;
    std::string output;  // as typed, UTF-8
};

// One library to list as text (--list).
struct ListRequest {
    std::string path;  // as typed, UTF-8
};

// What the command line asks for: a comparison, a take-over, a library's
// listing, a text to show (the help or the version), or nothing that can be
// done, and why.
struct CliRequest {
    enum class Kind { kCompare, kTake, kList, kShow, kInvalid };
    Kind kind = Kind::kInvalid;
    CompareRequest compare;  // kCompare, kTake: the two libraries
    TakeRequest take;        // kTake
    ListRequest list;        // kList
    std::string text;        // kShow: for standard output, as it is
    ArgumentProblem problem = ArgumentProblem::kNotUnderstood;  // kInvalid
    // kInvalid: the option or the format at fault, as typed; the parser's own
    // words for kNotUnderstood.
    std::string given;
    // kInvalid: what is wrong with --take or --output, where that is the fault.
    std::optional<TakeArgumentProblem> takeProblem;
};

// Reads the command-line arguments after the program's name (UTF-8); CLI11
// parses them.
CliRequest ParseArguments(const std::vector<std::string>& arguments);
