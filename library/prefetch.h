#pragma once

#include <cstddef>

// Asks for the memory at `address` to be brought into the cache, without
// waiting for it: work on items that lie all over memory asks for the item a
// few steps ahead, so that the waits for them overlap.
inline void Prefetch([[maybe_unused]] const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#endif
}

// How many items ahead such work asks for: far enough for a read from memory
// to arrive, near enough for what was brought in to stay in the cache.
inline constexpr std::size_t kPrefetchAhead = 16;
