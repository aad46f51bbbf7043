#pragma once

#include <cstdio>
#include <string>
#include <vector>

// libcompare-cli: compares two symbol libraries from the command line, or
// lists one as text.
//
//   libcompare-cli [--format text|csv|csv-excel|json] LIB1 LIB2
//   libcompare-cli --list LIB
//   libcompare-cli --take=changed,added,removed --output=FILE LIB1 LIB2
//
// `arguments` are the command-line arguments after the program's name, as
// UTF-8. The report goes to `out`, messages to `err`. Returns the exit status,
// as with diff: 0 the same, 1 different, 2 trouble (a listing or a take-over:
// 0 or 2).
int RunCli(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err);
