#pragma once

#include <string>
#include <vector>

#include "report/messages.h"
#include "report/report.h"

// Two libraries to compare and the report to write of them.
struct CompareRequest {
    std::string path1;  // as typed, UTF-8
    std::string path2;
    ReportFormat format = ReportFormat::kText;
};

// One library to list as text (--list).
struct ListRequest {
    std::string path;  // as typed, UTF-8
};

// What the command line asks for: a comparison, a library's listing, a text
// to show (the help or the version), or nothing that can be done, and why.
struct CliRequest {
    enum class Kind { kCompare, kList, kShow, kInvalid };
    Kind kind = Kind::kInvalid;
    CompareRequest compare;  // kCompare
    ListRequest list;        // kList
    std::string text;        // kShow: for standard output, as it is
    ArgumentProblem problem = ArgumentProblem::kNotUnderstood;  // kInvalid
    // kInvalid: the option or the format at fault, as typed; the parser's own
    // words for kNotUnderstood.
    std::string given;
};

// Reads the command-line arguments after the program's name (UTF-8); CLI11
// parses them.
CliRequest ParseArguments(const std::vector<std::string>& arguments);
