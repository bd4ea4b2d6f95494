#pragma once

#include <cstdint>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Vector forms of the strategy set's scoring: four 32-bit scores per SSE2
// vector, Vectors vectors for up to 4 x Vectors strategies. Lanes beyond the
// strategy count hold 0 and stay 0.
namespace dramolex::model::lanes {

// Flags of score(): a lane below zero, and a lane above the record.
constexpr uint32_t belowZeroBits = 0xFu;
constexpr uint32_t aboveRecordBits = 0xFFFF0u;

#if defined(__SSE2__)

// -1 in lane j of vector v when bit 4v + j of mask is set.
[[gnu::always_inline]] inline __m128i maskLanes(int32_t v, uint32_t mask)
{
    const __m128i bits = _mm_setr_epi32(1 << (4 * v), 2 << (4 * v), 4 << (4 * v), 8 << (4 * v));
    return _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(static_cast<int32_t>(mask)), bits), bits);
}

// -1 in lane j of vector v when slot 4v + j is below count. Every vector
// but the last of Vectors is full.
template <int32_t Vectors>
[[gnu::always_inline]] inline __m128i usedLanes(int32_t v, int32_t count)
{
    if (v < Vectors - 1) return _mm_set1_epi32(-1);
    return _mm_cmpgt_epi32(_mm_set1_epi32(count), _mm_setr_epi32(4 * v, 4 * v + 1, 4 * v + 2, 4 * v + 3));
}

// Lane-wise a > b ? a : b (SSE2 has no signed 32-bit maximum).
inline __m128i maximum(__m128i a, __m128i b)
{
    const __m128i aBigger = _mm_cmpgt_epi32(a, b);
    return _mm_or_si128(_mm_and_si128(aBigger, a), _mm_andnot_si128(aBigger, b));
}

// Whether some of the sixteen lanes (16-byte aligned) holds INT32_MIN.
inline bool anyAtBottom(const int32_t* scores)
{
    const __m128i bottom = _mm_set1_epi32(std::numeric_limits<int32_t>::min());
    const auto* v = reinterpret_cast<const __m128i*>(scores);
    const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(_mm_load_si128(v), bottom),
                                                    _mm_cmpeq_epi32(_mm_load_si128(v + 1), bottom)),
                                      _mm_or_si128(_mm_cmpeq_epi32(_mm_load_si128(v + 2), bottom),
                                                   _mm_cmpeq_epi32(_mm_load_si128(v + 3), bottom)));
    return _mm_movemask_epi8(hits) != 0;
}

// +1 to the score of every slot set in right, -1 to every other slot below
// count; no score may be at a limit of the int32 range. Returns flags (see
// above) and adds the change of the sum to gained.
template <int32_t Vectors>
[[gnu::always_inline]] inline uint32_t score(int32_t* scores, int32_t count, uint32_t right, int32_t record,
                                             int32_t& gained)
{
    const __m128i recordLanes = _mm_set1_epi32(record);
    auto* stored = reinterpret_cast<__m128i*>(scores);
    __m128i negatives = _mm_setzero_si128();
    __m128i above = _mm_setzero_si128();
    for (int32_t v = 0; v < Vectors; ++v) {
        // used - 2 x right: +1 where the slot was right, -1 where it was
        // wrong, 0 in the lanes of no slot.
        const __m128i wasRight = maskLanes(v, right);
        const __m128i delta = _mm_sub_epi32(_mm_sub_epi32(usedLanes<Vectors>(v, count), wasRight), wasRight);
        const __m128i updated = _mm_add_epi32(_mm_load_si128(stored + v), delta);
        _mm_store_si128(stored + v, updated);
        negatives = _mm_or_si128(negatives, updated);
        above = _mm_or_si128(above, _mm_cmpgt_epi32(updated, recordLanes));
    }
    // The sum moves by (right slots) - (wrong slots); counted on the scalar
    // side, off the vectors' longer chain of latencies.
    uint32_t ones = right - ((right >> 1) & 0x5555u);
    ones = (ones & 0x3333u) + ((ones >> 2) & 0x3333u);
    ones = (ones + (ones >> 4)) & 0x0F0Fu;
    ones = (ones + (ones >> 8)) & 0x1Fu;
    gained = 2 * static_cast<int32_t>(ones) - count;
    return static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(negatives))) |
           static_cast<uint32_t>(_mm_movemask_epi8(above)) << 4;
}

// The slots below count that hold the highest score: bit i for slot i.
template <int32_t Vectors>
uint32_t highest(const int32_t* scores, int32_t count)
{
    const auto* stored = reinterpret_cast<const __m128i*>(scores);
    const __m128i lowest = _mm_set1_epi32(std::numeric_limits<int32_t>::min());
    // Lanes of no slot count as INT32_MIN; the final mask drops them.
    __m128i top = lowest;
    for (int32_t v = 0; v < Vectors; ++v) {
        const __m128i used = usedLanes<Vectors>(v, count);
        const __m128i lane = _mm_load_si128(stored + v);
        top = maximum(top, _mm_or_si128(_mm_and_si128(used, lane), _mm_andnot_si128(used, lowest)));
    }
    top = maximum(top, _mm_shuffle_epi32(top, _MM_SHUFFLE(1, 0, 3, 2)));
    top = maximum(top, _mm_shuffle_epi32(top, _MM_SHUFFLE(2, 3, 0, 1)));
    uint32_t slots = 0;
    for (int32_t v = 0; v < Vectors; ++v) {
        const __m128i hits = _mm_cmpeq_epi32(_mm_load_si128(stored + v), top);
        slots |= static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(hits))) << (4 * v);
    }
    return slots & ((uint32_t{1} << count) - 1);
}

#endif

} // namespace dramolex::model::lanes
