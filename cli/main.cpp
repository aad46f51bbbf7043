// libcompare-cli: compares two symbol libraries from the command line; see cli.h.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/console.h"

#if defined(_WIN32)
// Windows hands over the arguments as UTF-16, whatever the code page: a path
// with umlauts arrives whole.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::u8string text = std::filesystem::path(argv[i]).u8string();
        arguments.emplace_back(text.begin(), text.end());
    }
#else
int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
#endif
    PrepareStandardStreams();
    return RunCli(arguments, stdout, stderr);
}
