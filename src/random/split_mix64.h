#pragma once

#include <cstdint>

namespace dramolex::random {

// The first output of Vigna's SplitMix64 generator started from state x:
// the golden-ratio increment, then the variant-13 finaliser. Turns nearby
// seeds (1, 2, 3...) into unrelated 64-bit values.
constexpr uint64_t splitMix64(uint64_t x)
{
    uint64_t z = x + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace dramolex::random
