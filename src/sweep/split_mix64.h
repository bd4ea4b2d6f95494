#pragma once

#include <cstdint>

namespace dramolex::sweep {

// Vigna's SplitMix64: a 64-bit counter stepped by the golden gamma and
// scrambled, so neighbouring states give unrelated outputs. Used to turn
// (base seed, run number) into a run's seed.
class SplitMix64 {
public:
    explicit SplitMix64(uint64_t state) : state_(state) {}

    uint64_t next()
    {
        state_ += 0x9E3779B97F4A7C15ull;
        uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    uint64_t state_;
};

} // namespace dramolex::sweep
