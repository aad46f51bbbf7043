// The one platform-specific place of the core: asking Linux for huge pages.
#include "library/large_memory.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {
#if defined(__linux__)
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kHugeFrom = std::size_t{4} << 20;

bool UsesHugePages(std::size_t bytes) {
    return bytes >= kHugeFrom;
}
std::size_t Rounded(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}
#endif
}  // namespace

void* AllocateLarge(std::size_t bytes) {
#if defined(__linux__)
    if (UsesHugePages(bytes)) {
        void* block = std::aligned_alloc(kHugePage, Rounded(bytes));
        if (!block) throw std::bad_alloc();
        madvise(block, Rounded(bytes), MADV_HUGEPAGE);  // a hint; failure is harmless
        return block;
    }
#endif
    return ::operator new(bytes == 0 ? 1 : bytes);
}

void FreeLarge(void* block, std::size_t bytes) noexcept {
    if (!block) return;
#if defined(__linux__)
    if (UsesHugePages(bytes)) {
        std::free(block);
        return;
    }
#endif
    (void)bytes;
    ::operator delete(block);
}
