#pragma once

#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/strategy.h"
#include "random/glibc_random.h"

namespace dramolex::model {

// The ten strategies of one agent, stored side by side: for each history
// index a 10-bit mask of the strategies that choose side 1 (and how many do),
// and the ten scores in twelve 32-bit lanes (the last two stay 0), so that
// scoring all ten is a few vector instructions and their sum is one addition.
class StrategySet {
public:
    static constexpr int count = 10;

    // Ten new strategies from 80 draws of rand() % 2: strategy 0's entries
    // for history index 0 to 7 first, as ten Strategy constructions draw them.
    static StrategySet drawn(random::GlibcRandom& uniform)
    {
        int32_t draws[count * 8];
        uniform.take(draws, count * 8);
        StrategySet set;
        for (int i = 0; i < count; ++i) {
            for (int sti = 0; sti < 8; ++sti) {
                set.sides_[sti] = static_cast<uint16_t>(set.sides_[sti] | ((static_cast<uint32_t>(draws[i * 8 + sti]) & 1u) << i));
            }
            set.lanes()[i] = Strategy::initialScore;
        }
        for (int sti = 0; sti < 8; ++sti) set.sideOnes_[sti] = bitCount(set.sides_[sti]);
        set.sum_ = count * Strategy::initialScore;
        return set;
    }

    Strategy get(int index) const
    {
        uint8_t decisions = 0;
        for (int sti = 0; sti < 8; ++sti) decisions |= static_cast<uint8_t>(((sides_[sti] >> index) & 1) << sti);
        return Strategy(decisions, score(index));
    }

    void set(int index, const Strategy& s)
    {
        const auto bit = static_cast<uint16_t>(1u << index);
        for (int sti = 0; sti < 8; ++sti) {
            const bool wasOne = (sides_[sti] & bit) != 0;
            const bool isOne = s.getDecision(sti) == 1;
            sides_[sti] = static_cast<uint16_t>(isOne ? (sides_[sti] | bit) : (sides_[sti] & ~bit));
            sideOnes_[sti] = static_cast<uint8_t>(sideOnes_[sti] + isOne - wasOne);
        }
        sum_ += s.getScore() - lanes()[index];
        lanes()[index] = s.getScore();
    }

    // The lowest index among the highest scores.
    int bestIndex() const
    {
#if defined(__SSE2__)
        const __m128i* v = reinterpret_cast<const __m128i*>(scores_.data());
        const __m128i a = _mm_load_si128(v), b = _mm_load_si128(v + 1);
        // The last vector's unused lanes repeat a real score so they never win.
        const __m128i c = _mm_shuffle_epi32(_mm_load_si128(v + 2), _MM_SHUFFLE(0, 0, 1, 0));
        __m128i m = maxLanes(maxLanes(a, b), c);
        m = maxLanes(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
        m = maxLanes(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
        const int hits = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(a, m))) |
                         _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(b, m))) << 4 |
                         _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(_mm_load_si128(v + 2), m))) << 8;
        return __builtin_ctz(static_cast<unsigned>(hits) & 0x3FFu);
#else
        int best = 0;
        for (int i = 1; i < count; ++i) best = lanes()[i] > lanes()[best] ? i : best;
        return best;
#endif
    }

    int32_t decision(int index, int32_t STI) const { return (sides_[STI] >> index) & 1; }
    int32_t score(int index) const { return lanes()[index]; }

    // What scoring one round leaves behind for the agent's learning step.
    struct Outcome {
        bool anyNegative;  // some strategy fell below zero and must be replaced
        bool beatsRecord;  // some score is above the given record
    };

    // Every strategy +1 if its side for STI equals result, else -1.
    Outcome score(int32_t result, int32_t STI, int32_t record)
    {
        const unsigned right = result ? sides_[STI] : static_cast<unsigned>(~sides_[STI]);
        // Strategies choosing side 1 gain when side 1 wins, the others lose.
        const int ones = sideOnes_[STI];
        sum_ += result ? 2 * ones - count : count - 2 * ones;
#if defined(__SSE2__)
        const __m128i mask = _mm_set1_epi32(static_cast<int>(right));
        const __m128i minusOne = _mm_set1_epi32(-1);
        const __m128i recordLanes = _mm_set1_epi32(record);
        __m128i negatives = _mm_setzero_si128();
        __m128i above = _mm_setzero_si128();
        for (int v = 0; v < 3; ++v) {
            const __m128i bits = laneBits(v);
            // -1 in lanes whose strategy was right; the delta is then +1 or -1,
            // and 0 in the two unused lanes.
            const __m128i wasRight = _mm_cmpeq_epi32(_mm_and_si128(mask, bits), bits);
            const __m128i delta =
                _mm_and_si128(_mm_sub_epi32(_mm_sub_epi32(minusOne, wasRight), wasRight), laneUsed(v));
            __m128i* lane = reinterpret_cast<__m128i*>(scores_.data()) + v;
            const __m128i updated = _mm_add_epi32(_mm_load_si128(lane), delta);
            _mm_store_si128(lane, updated);
            negatives = _mm_or_si128(negatives, updated);
            above = _mm_or_si128(above, _mm_cmpgt_epi32(updated, recordLanes));
        }
        return {_mm_movemask_ps(_mm_castsi128_ps(negatives)) != 0, _mm_movemask_epi8(above) != 0};
#else
        Outcome out{false, false};
        for (int i = 0; i < count; ++i) {
            lanes()[i] += ((right >> i) & 1u) ? 1 : -1;
            out.anyNegative |= lanes()[i] < 0;
            out.beatsRecord |= lanes()[i] > record;
        }
        return out;
#endif
    }

    // The sum of the ten scores, kept up to date by every change.
    int64_t sum() const { return sum_; }

private:
    static uint8_t bitCount(unsigned x)
    {
        x = x - ((x >> 1) & 0x5555u);
        x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
        x = (x + (x >> 4)) & 0x0F0Fu;
        return static_cast<uint8_t>((x + (x >> 8)) & 0x1Fu);
    }

#if defined(__SSE2__)
    static __m128i maxLanes(__m128i a, __m128i b)
    {
        const __m128i aBigger = _mm_cmpgt_epi32(a, b);
        return _mm_or_si128(_mm_and_si128(aBigger, a), _mm_andnot_si128(aBigger, b));
    }

    static __m128i laneBits(int v)
    {
        return v == 0 ? _mm_setr_epi32(1, 2, 4, 8) : v == 1 ? _mm_setr_epi32(16, 32, 64, 128) : _mm_setr_epi32(256, 512, 1024, 2048);
    }
    static __m128i laneUsed(int v) { return v < 2 ? _mm_set1_epi32(-1) : _mm_setr_epi32(-1, -1, 0, 0); }

#endif
    int32_t* lanes() { return scores_.data(); }
    const int32_t* lanes() const { return scores_.data(); }
    // The sides come first: choosing a side reads them alone, so they share
    // a cache line with the agent's own fields.
    std::array<uint16_t, 8> sides_{};
    std::array<uint8_t, 8> sideOnes_{};  // strategies choosing side 1, per history index
    int64_t sum_ = 0;
    alignas(16) std::array<int32_t, 12> scores_{};
};

} // namespace dramolex::model
