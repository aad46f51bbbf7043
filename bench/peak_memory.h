#pragma once

#include <cstdint>

// Peak resident memory of this process so far, in bytes (0 where unknown).
std::uint64_t PeakMemoryBytes();

// Resident memory of this process now, in bytes (0 where unknown).
std::uint64_t ResidentMemoryBytes();
