// Google Benchmark: reading a 1,000,000-record long-layout library.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "library/library_reader.h"

namespace {

const std::filesystem::path& MillionRecordFile() {
    static const std::filesystem::path path = [] {
        auto file = std::filesystem::temp_directory_path() / "libcompare-bench-1m.1";
        std::string bytes(14 + 144, '\0');
        bytes[0] = bytes[1] = '\xFF';
        std::string slot;
        for (int i = 1; i <= 1'000'000; ++i) {
            slot = "SYM" + std::to_string(i);
            slot += '\0';
            slot += "Bezeichnung ";
            slot += std::to_string(i % 977);
            slot += std::string("\0Klasse\0Gruppe\0", 15);
            slot.resize(144, '\0');
            bytes += slot;
        }
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }();
    return path;
}

void BM_ReadLibraryFile(benchmark::State& state) {
    const auto& file = MillionRecordFile();
    for (auto _ : state) {
        SymbolTable table;
        std::int32_t count = 0;
        DiscardingSymbolList list;
        benchmark::DoNotOptimize(ReadLibraryFile(file, table, count, list));
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(file)));
}
BENCHMARK(BM_ReadLibraryFile)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
