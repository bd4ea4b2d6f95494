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
    // x[n] = x[n-31] + x[n-3] unrolled twice more gives
    // x[n] = x[n-9] + x[n-31] + x[n-34] + x[n-37], whose nearest term is nine
    // back: eight values at a time need only values already made, so a block
    // is computed in vector lanes.
    static constexpr int history = 40;
    static constexpr int blockLength = 256;
    static constexpr int bufferLength = history + blockLength;

    void refill()
    {
        if (primed_) {
            for (int i = 0; i < history; ++i) values_[i] = values_[blockLength + i];
            for (int i = history; i < bufferLength; i += 8) {
                for (int lane = i; lane < i + 8; ++lane) {
                    values_[lane] = values_[lane - 9] + values_[lane - 31] + values_[lane - 34] + values_[lane - 37];
                }
            }
        } else {
            // Right after seeding only the 31 values of the table exist.
            for (int i = history; i < bufferLength; ++i) values_[i] = values_[i - degree] + values_[i - 3];
            primed_ = true;
        }
        next_ = history;
    }

    // values_[0 .. history) are the last values before the current block.
    std::array<uint32_t, bufferLength> values_{};
    int next_ = bufferLength;
    bool primed_ = false;
};

} // namespace dramolex::random
