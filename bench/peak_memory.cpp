// The one platform-specific place of the benchmarks: asking the system for
// the process's peak memory.
#include "bench/peak_memory.h"

#include <fstream>

#if defined(__unix__)
#include <sys/resource.h>
#include <unistd.h>
#endif

std::uint64_t PeakMemoryBytes() {
#if defined(__unix__)
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) == 0)
        return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
#endif
    return 0;
}

std::uint64_t ResidentMemoryBytes() {
#if defined(__linux__)
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0, resident = 0;
    if (statm >> size >> resident)
        return resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
#endif
    return 0;
}
