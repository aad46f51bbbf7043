// The one platform-specific place of the benchmarks: asking the system for
// the process's peak memory.
#include "bench/peak_memory.h"

#if defined(__unix__)
#include <sys/resource.h>
#endif

std::uint64_t PeakMemoryBytes() {
#if defined(__unix__)
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) == 0)
        return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
#endif
    return 0;
}
