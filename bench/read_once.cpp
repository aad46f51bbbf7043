// Reads one library file once and prints how long it took and the process's
// peak memory, for comparing against the file's size.
#include <chrono>
#include <filesystem>
#include <iostream>

#include "bench/peak_memory.h"
#include "library/library_reader.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: read_once FILE\n";
        return 2;
    }
    SymbolTable table;
    std::int32_t count = 0;
    DiscardingSymbolList list;
    const auto start = std::chrono::steady_clock::now();
    const ReadResult result = ReadLibraryFile(argv[1], table, count, list);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!result) {
        std::cerr << "not read, status " << static_cast<int>(result.status) << "\n";
        return 1;
    }
    const double size = static_cast<double>(std::filesystem::file_size(argv[1]));
    const double peak = static_cast<double>(PeakMemoryBytes());
    std::cout << "records " << count << ", read " << took.count() << " s, file " << size / 1e6
              << " MB, peak memory " << peak / 1e6 << " MB (" << peak / size << " x file size)\n";
    return 0;
}
