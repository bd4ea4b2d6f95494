#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/strategy.h"
#include "random/glibc_random.h"

namespace dramolex::model {

// The strategies of one agent, stored side by side.
//
// The sides form one bit table in history-index order: bit STI * count + i
// is strategy i's side for STI, so the sides of all strategies for one
// history index are count neighbouring bits, read with one small load.
// Tables of up to 128 bits (the default 10 strategies x 8 indices take 80)
// live inside the object, larger ones on the heap. The scores sit in sixteen
// 32-bit lanes, the unused ones 0, so that scoring them all is a few vector
// instructions; their sum is kept up to date by every change.
class StrategySet {
public:
    static constexpr int32_t maxCount = 16;

    // count strategies of 2^memory sides each, drawn with rand() % 2 as count
    // Strategy constructions draw them: strategy 0's sides for history index
    // 0 upwards first, then strategy 1's, and so on.
    static StrategySet drawn(random::GlibcRandom& uniform, int32_t count, int32_t memory);

    int32_t count() const { return count_; }
    int32_t memory() const { return memory_; }

    Strategy get(int32_t index) const;
    void set(int32_t index, const Strategy& s);
    // A fresh strategy in slot index: 2^memory draws, score 100.
    void redraw(int32_t index, random::GlibcRandom& uniform);

    int32_t decision(int32_t index, int32_t STI) const
    {
        const size_t bit = static_cast<size_t>(STI) * count_ + static_cast<size_t>(index);
        return (table()[bit >> 3] >> (bit & 7)) & 1;
    }
    int32_t score(int32_t index) const { return scores_[static_cast<size_t>(index)]; }
    // Puts a score in place, keeping the sum right.
    void setScore(int32_t index, int32_t value);

    // The slots that hold the highest score: bit i for slot i.
    uint32_t highestSlots() const
    {
#if defined(__SSE2__)
        switch (vectors()) {
        case 1: return highestLanes<1>();
        case 2: return highestLanes<2>();
        case 3: return highestLanes<3>();
        default: return highestLanes<4>();
        }
#else
        return highestEach();
#endif
    }

    // What scoring one round leaves behind for the agent's learning step.
    // One integer rather than two flags: the compiler keeps it in a register,
    // where two bytes written apart and read back whole stall the processor.
    class Outcome {
    public:
        static constexpr uint32_t negative = 1;
        static constexpr uint32_t aboveRecord = 2;
        constexpr explicit Outcome(uint32_t flags) : flags_(flags) {}
        constexpr Outcome(bool anyNegative, bool beatsRecord)
            : flags_((anyNegative ? negative : 0) | (beatsRecord ? aboveRecord : 0))
        {
        }
        // Some strategy is below zero.
        constexpr bool anyNegative() const { return (flags_ & negative) != 0; }
        // Some score is above the given record.
        constexpr bool beatsRecord() const { return (flags_ & aboveRecord) != 0; }

    private:
        uint32_t flags_;
    };

    // Every strategy +1 if its side for STI equals result, else -1; scores
    // stop at the ends of the int32 range.
    Outcome score(int32_t result, int32_t STI, int32_t record)
    {
        const uint32_t sides = sidesFor(STI);
        const uint32_t right = (result ? sides : ~sides) & usedSlots();
#if defined(__SSE2__)
        // The vector path declines when a score sits at a limit of the range.
        int32_t flags = declined;
        switch (vectors()) {
        case 1: flags = scoreLanes<1>(right, record); break;
        case 2: flags = scoreLanes<2>(right, record); break;
        case 3: flags = scoreLanes<3>(right, record); break;
        default: flags = scoreLanes<4>(right, record); break;
        }
        if (flags != declined) return Outcome(static_cast<uint32_t>(flags));
#endif
        return scoreEach(right, record);
    }

    // The sum of the scores.
    int64_t sum() const { return sum_; }

private:
    static constexpr size_t inlineBits = 128;
    // Reading count bits may start at any bit of a byte and reach two bytes on.
    static constexpr size_t readSlack = 2;

    size_t tableBits() const { return static_cast<size_t>(count_) << memory_; }
    uint32_t usedSlots() const { return (uint32_t{1} << count_) - 1; }

    // The sides of all strategies for STI: bit i for strategy i.
    uint32_t sidesFor(int32_t STI) const
    {
        const size_t first = static_cast<size_t>(STI) * count_;
        const uint8_t* at = table() + (first >> 3);
        const uint32_t window = at[0] | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16;
        return (window >> (first & 7)) & usedSlots();
    }
    void setSide(int32_t index, int32_t STI, bool one);

    // One slot at a time, saturating: the plain form of the two below.
    Outcome scoreEach(uint32_t right, int32_t record);
    uint32_t highestEach() const;
#if defined(__SSE2__)
    // Four slots per vector; the scores fill Vectors vectors.
    int32_t vectors() const { return (count_ + 3) / 4; }
    // The outcome's flags, or declined when some score is at a limit.
    static constexpr int32_t declined = -1;
    template <int32_t Vectors>
    int32_t scoreLanes(uint32_t right, int32_t record);
    template <int32_t Vectors>
    uint32_t highestLanes() const;
#endif

    bool tableInline() const { return (static_cast<uint32_t>(count_) << memory_) <= inlineBits; }
    const uint8_t* table() const { return tableInline() ? inline_.data() : heap_.data(); }
    uint8_t* table() { return tableInline() ? inline_.data() : heap_.data(); }

    // The sides and the sum come first: choosing a side reads the table
    // alone, so a small one shares a cache line with the agent's own fields.
    std::array<uint8_t, inlineBits / 8 + readSlack> inline_{};
    uint8_t count_ = 0;
    uint8_t memory_ = 0;
    int64_t sum_ = 0;
    alignas(16) std::array<int32_t, maxCount> scores_{};
    std::vector<uint8_t> heap_;
};

#if defined(__SSE2__)
namespace lanes {

// Lane-wise a > b ? a : b (SSE2 has no signed 32-bit maximum).
inline __m128i maximum(__m128i a, __m128i b)
{
    const __m128i aBigger = _mm_cmpgt_epi32(a, b);
    return _mm_or_si128(_mm_and_si128(aBigger, a), _mm_andnot_si128(aBigger, b));
}

// -1 in lane j of vector v when slot 4v + j is below count.
inline __m128i usedLanes(int32_t v, int32_t count)
{
    return _mm_cmpgt_epi32(_mm_set1_epi32(count), _mm_setr_epi32(4 * v, 4 * v + 1, 4 * v + 2, 4 * v + 3));
}

// -1 in lane j of vector v when bit 4v + j of mask is set.
inline __m128i maskLanes(int32_t v, uint32_t mask)
{
    const __m128i bits = _mm_setr_epi32(1 << (4 * v), 2 << (4 * v), 4 << (4 * v), 8 << (4 * v));
    return _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(static_cast<int32_t>(mask)), bits), bits);
}

} // namespace lanes

template <int32_t Vectors>
int32_t StrategySet::scoreLanes(uint32_t right, int32_t record)
{
    // score + 1 wraps INT32_MAX to INT32_MIN and moves INT32_MIN to
    // INT32_MIN + 1: exactly the two limits end up below INT32_MIN + 2.
    const __m128i one = _mm_set1_epi32(1);
    const __m128i limitBound = _mm_set1_epi32(INT32_MIN + 2);
    const __m128i recordLanes = _mm_set1_epi32(record);
    auto* stored = reinterpret_cast<__m128i*>(scores_.data());
    __m128i updated[Vectors];
    __m128i atLimit = _mm_setzero_si128();
    __m128i deltas = _mm_setzero_si128();
    __m128i negatives = _mm_setzero_si128();
    __m128i above = _mm_setzero_si128();
    for (int32_t v = 0; v < Vectors; ++v) {
        const __m128i scores = _mm_load_si128(stored + v);
        atLimit = _mm_or_si128(atLimit, _mm_cmpgt_epi32(limitBound, _mm_add_epi32(scores, one)));
        // used - 2 x right: +1 where the slot was right, -1 where it was
        // wrong, 0 in the lanes of no slot.
        const __m128i wasRight = lanes::maskLanes(v, right);
        const __m128i delta = _mm_sub_epi32(_mm_sub_epi32(lanes::usedLanes(v, count_), wasRight), wasRight);
        deltas = _mm_add_epi32(deltas, delta);
        updated[v] = _mm_add_epi32(scores, delta);
        negatives = _mm_or_si128(negatives, updated[v]);
        above = _mm_or_si128(above, _mm_cmpgt_epi32(updated[v], recordLanes));
    }
    if (_mm_movemask_epi8(atLimit) != 0) return declined;

    for (int32_t v = 0; v < Vectors; ++v) _mm_store_si128(stored + v, updated[v]);
    deltas = _mm_add_epi32(deltas, _mm_shuffle_epi32(deltas, _MM_SHUFFLE(1, 0, 3, 2)));
    deltas = _mm_add_epi32(deltas, _mm_shuffle_epi32(deltas, _MM_SHUFFLE(2, 3, 0, 1)));
    sum_ += _mm_cvtsi128_si32(deltas);
    return (_mm_movemask_ps(_mm_castsi128_ps(negatives)) != 0 ? Outcome::negative : 0) |
           (_mm_movemask_epi8(above) != 0 ? Outcome::aboveRecord : 0);
}

template <int32_t Vectors>
uint32_t StrategySet::highestLanes() const
{
    const auto* stored = reinterpret_cast<const __m128i*>(scores_.data());
    const __m128i lowest = _mm_set1_epi32(INT32_MIN);
    // Lanes of no slot count as INT32_MIN; the final mask drops them.
    __m128i highest = lowest;
    for (int32_t v = 0; v < Vectors; ++v) {
        const __m128i used = lanes::usedLanes(v, count_);
        const __m128i scores = _mm_load_si128(stored + v);
        highest = lanes::maximum(highest, _mm_or_si128(_mm_and_si128(used, scores), _mm_andnot_si128(used, lowest)));
    }
    highest = lanes::maximum(highest, _mm_shuffle_epi32(highest, _MM_SHUFFLE(1, 0, 3, 2)));
    highest = lanes::maximum(highest, _mm_shuffle_epi32(highest, _MM_SHUFFLE(2, 3, 0, 1)));
    uint32_t slots = 0;
    for (int32_t v = 0; v < Vectors; ++v) {
        const __m128i hits = _mm_cmpeq_epi32(_mm_load_si128(stored + v), highest);
        slots |= static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(hits))) << (4 * v);
    }
    return slots & usedSlots();
}
#endif

} // namespace dramolex::model
