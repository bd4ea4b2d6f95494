#pragma once

#include <array>
#include <cstdint>

namespace dramolex::random {

// Marsaglia and Tsang's ziggurat normal generator with 128 strips, driven by
// the SHR3 shift-register generator. Single-precision rounding happens at
// exactly the points the original algorithm rounds, so life spans come out
// the same on every machine.
class Ziggurat {
public:
    struct Tables {
        std::array<uint32_t, 128> kn{};
        std::array<float, 128> wn{};
        std::array<float, 128> fn{};
    };

    // The generator every mortal agent of this process draws from; its state
    // carries over from one population to the next. Not thread-safe: two
    // populations that use it must not build agents at the same time.
    static Ziggurat& processWide();

    // A generator of one run's own: the state starts from the low 32 bits of
    // splitMix64(runSeed) instead of 123456789 (which replaces a 0, since the
    // shift register would stay at 0 for ever).
    static Ziggurat seededFor(uint32_t runSeed);

    // Folds the seed into the state (XOR, not a reset) and makes the strip
    // tables available. The tables never depend on the seed, so they are
    // computed once per process and shared.
    void zigset(uint32_t jsrseed);

    uint32_t shr3()
    {
        jz_ = jsr_;
        jsr_ ^= jsr_ << 13;
        jsr_ ^= jsr_ >> 17;
        jsr_ ^= jsr_ << 5;
        return jz_ + jsr_;
    }

    double uni() { return 0.5 + static_cast<int32_t>(shr3()) * 2.328306e-10; }

    float rnor()
    {
        hz_ = static_cast<int32_t>(shr3());
        iz_ = static_cast<uint32_t>(hz_) & 127u;
        if (absHz() < tables_->kn[iz_]) return static_cast<float>(hz_) * tables_->wn[iz_];
        return nfix();
    }

    uint32_t state() const { return jsr_; }
    const Tables& tables() const { return *tables_; }

private:
    float nfix();
    double absHz() const { return hz_ < 0 ? -static_cast<double>(hz_) : static_cast<double>(hz_); }

    static const Tables& computedTables();
    static const Tables& emptyTables();

    uint32_t jsr_ = 123456789u;
    uint32_t jz_ = 0;
    int32_t hz_ = 0;
    uint32_t iz_ = 0;
    const Tables* tables_ = &emptyTables();
};

} // namespace dramolex::random
