#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace dramolex::random {

// Uniform integer source whose srand/rand sequence is the GNU C library's
// default (TYPE_3 additive feedback, x[n] = x[n-31] + x[n-3], output x >> 1).
// Owned by its user instead of being process-wide, so no other code can
// disturb a run, and it takes no lock. Values are made a block at a time,
// which keeps the per-draw cost to a load and a shift.
class GlibcRandom {
public:
    static constexpr int32_t maxValue = 2147483647;

    explicit GlibcRandom(uint32_t seed = 1) { srand(seed); }

    void srand(uint32_t seed);

    // Next value in 0 .. maxValue, as glibc's rand() would return it.
    int32_t rand()
    {
        if (next_ == bufferLength) refill();
        return static_cast<int32_t>(values_[next_++] >> 1);
    }

    // The next n values of rand(), in order, into out. Cheaper per value than
    // n calls where the caller's loop also writes memory.
    void take(int32_t* out, size_t n)
    {
        while (n > 0) {
            if (next_ == bufferLength) refill();
            size_t chunk = static_cast<size_t>(bufferLength - next_);
            if (chunk > n) chunk = n;
            const uint32_t* from = values_.data() + next_;
            for (size_t i = 0; i < chunk; ++i) out[i] = static_cast<int32_t>(from[i] >> 1);
            next_ += static_cast<int>(chunk);
            out += chunk;
            n -= chunk;
        }
    }

    // rand() % k, the only way the model reduces a draw.
    int32_t below(int32_t k) { return rand() % k; }

private:
    static constexpr int degree = 31;
    static constexpr int blockLength = 256;
    static constexpr int bufferLength = degree + blockLength;

    void refill()
    {
        for (int i = 0; i < degree; ++i) values_[i] = values_[blockLength + i];
        // The lag-3 term is carried in registers: reading it back from memory
        // right after storing it stalls the processor's store forwarding.
        uint32_t lag3 = values_[degree - 3], lag2 = values_[degree - 2], lag1 = values_[degree - 1];
        for (int i = degree; i < bufferLength; ++i) {
            const uint32_t value = values_[i - degree] + lag3;
            values_[i] = value;
            lag3 = lag2;
            lag2 = lag1;
            lag1 = value;
        }
        next_ = degree;
    }

    // values_[0 .. degree) are the last values before the current block.
    std::array<uint32_t, bufferLength> values_{};
    int next_ = bufferLength;
};

} // namespace dramolex::random
