#include "model/detail/block_pass.h"

#include <algorithm>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

// The pass works on 16 agents at a time in the compiler's vector types; it is
// compiled once per instruction set and the best clone for the running
// processor is picked at load time.
// ThreadSanitizer's runtime is not ready when the clones' resolvers run at
// load time (the program crashes before main), so its builds keep one clone.
#if DRAMOLEX_SIMD && defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define DRAMOLEX_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define DRAMOLEX_VECTOR_CLONES
#endif
#define DRAMOLEX_INLINE [[gnu::always_inline]] inline

namespace dramolex::model::detail {

DRAMOLEX_VECTOR_CLONES
int32_t countOnes(const uint64_t* words, size_t count)
{
    int32_t ones = 0;
    for (size_t w = 0; w < count; ++w) ones += __builtin_popcountll(words[w]);
    return ones;
}

DRAMOLEX_VECTOR_CLONES
void foldSides(uint64_t* __restrict bits, const int32_t* __restrict draws, size_t count, int lane)
{
    for (size_t k = 0; k < count; ++k) bits[k] |= static_cast<uint64_t>(draws[k] & 1) << lane;
}

DRAMOLEX_VECTOR_CLONES
int32_t decideOwnSides(const AgentColumns& a, int32_t sti, uint64_t* decisions)
{
    const size_t words = static_cast<size_t>(a.words);
    int32_t ones = 0;
    for (size_t w = 0; w < words; ++w) {
        const uint64_t* sides = a.sideWords(w, sti);
        const uint64_t* played = a.playedWords(w);
        uint64_t word = 0;
        for (int32_t s = 0; s < a.numStrategies; ++s) word |= sides[s] & played[s];
        decisions[w] = word;
        ones += __builtin_popcountll(word);
    }
    return ones;
}

#if DRAMOLEX_SIMD

bool blockPassBuilt() { return true; }

// The helpers below are always inlined, so no vector crosses a call boundary.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

// Sixteen agents' values in one vector: one AVX-512 register, two AVX2
// registers or four SSE2 registers, depending on the clone.
using Lane16 = int32_t __attribute__((vector_size(64)));
using Double16 = double __attribute__((vector_size(128)));
constexpr int chunk = 16;
constexpr int chunks = 64 / chunk;

constexpr Lane16 laneBit = {1 << 0, 1 << 1, 1 << 2,  1 << 3,  1 << 4,  1 << 5,  1 << 6,  1 << 7,
                            1 << 8, 1 << 9, 1 << 10, 1 << 11, 1 << 12, 1 << 13, 1 << 14, 1 << 15};

DRAMOLEX_INLINE Lane16 load(const int32_t* p)
{
    Lane16 v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}
DRAMOLEX_INLINE void store(int32_t* p, Lane16 v) { __builtin_memcpy(p, &v, sizeof v); }
// A shuffle of lane 0 into every lane: GCC builds an initializer of sixteen
// copies lane by lane inside large loops.
DRAMOLEX_INLINE Lane16 splat(int32_t x) { return __builtin_shuffle(Lane16{x}, Lane16{}); }

// -1 in the lanes whose bit is set in the low 16 bits of bits, else 0.
DRAMOLEX_INLINE Lane16 expand(uint32_t bits) { return (splat(static_cast<int32_t>(bits)) & laneBit) != 0; }

// The lanes of a -1/0 mask as 16 bits: one sign-bit mask per quarter, which
// every x86-64 processor has; a generic shuffle tree compiles to lane-by-lane
// inserts.
DRAMOLEX_INLINE uint32_t gather(Lane16 mask)
{
#if defined(__SSE2__)
    __m128 quarter[4];
    __builtin_memcpy(quarter, &mask, sizeof mask);
    return static_cast<uint32_t>(_mm_movemask_ps(quarter[0]) | _mm_movemask_ps(quarter[1]) << 4 |
                                 _mm_movemask_ps(quarter[2]) << 8 | _mm_movemask_ps(quarter[3]) << 12);
#else
    Lane16 v = mask & laneBit;
    v |= __builtin_shuffle(v, Lane16{8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7});
    v |= __builtin_shuffle(v, Lane16{4, 5, 6, 7, 0, 1, 2, 3, 12, 13, 14, 15, 8, 9, 10, 11});
    v |= __builtin_shuffle(v, Lane16{2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13});
    v |= __builtin_shuffle(v, Lane16{1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14});
    return static_cast<uint32_t>(v[0]);
#endif
}

// Truncated sum / slots in every lane. The product with the reciprocal is
// within 2^-25 of the quotient for sums below 2^31, and a quotient that is not
// whole lies at least 1/16 from the next integer, so nudging by 2^-20 towards
// larger magnitude makes the truncation exact.
DRAMOLEX_INLINE Lane16 averages(Lane16 sum, double reciprocal)
{
    constexpr double nudge = 1.0 / (1 << 20);
    const Double16 wide = __builtin_convertvector(sum, Double16);
    const Double16 signs = __builtin_convertvector((sum < 0) * 2 + 1, Double16);  // -1 or +1
    return __builtin_convertvector(wide * reciprocal + signs * nudge, Lane16);
}

struct BlockLanes {
    alignas(64) int32_t average[64];
    alignas(64) int32_t top[64];
    alignas(64) int32_t tied[64];
    alignas(64) int32_t before[64];
    alignas(64) int64_t grouped[chunk];
    alignas(64) int64_t ungrouped[chunk];
};

} // namespace

DRAMOLEX_VECTOR_CLONES
uint64_t ageWord(int32_t* age, const int32_t* lifeSpan)
{
    uint64_t reached = 0;
#pragma GCC unroll 4
    for (int c = 0; c < chunks; ++c) {
        const Lane16 older = load(age + c * chunk) + 1;
        store(age + c * chunk, older);
        reached |= static_cast<uint64_t>(gather(older == load(lifeSpan + c * chunk))) << (c * chunk);
    }
    return reached;
}

DRAMOLEX_VECTOR_CLONES
void learnBlocks(AgentColumns& a, Learning& learning, const ModelOptions& options, const uint64_t* decisions,
                 int32_t fullWords, int32_t result, int32_t sti, LearningTotals& totals)
{
    const uint64_t flip = result != 0 ? 0 : ~uint64_t{0};
    const Lane16 replacing = splat(options.replacement ? -1 : 0);
    const bool bestRule = options.rule == Rule::best;
    const int32_t slots = a.numStrategies;
    const double reciprocal = 1.0 / slots;
    int64_t avgSum = 0;
    int64_t groupedCapital = 0;
    int64_t ungroupedCapital = 0;
    Lane16 bestRecord = splat(totals.bestRecord);
    BlockLanes l;
    uint64_t right[16];

    for (int32_t w = 0; w < fullWords; ++w) {
        const size_t base = static_cast<size_t>(w) * 64;
        const uint64_t* sides = a.sideWords(static_cast<size_t>(w), sti);
        for (int32_t s = 0; s < slots; ++s) right[s] = sides[s] ^ flip;
        const uint64_t won = decisions[w] ^ flip;
        const uint64_t inGroup = a.grouped[static_cast<size_t>(w)];
        uint64_t slowBits = 0;
        uint64_t tieBits = 0;
        uint64_t movedBits = 0;
        Lane16 groupedSum = {};
        Lane16 ungroupedSum = {};

        // Slot by slot over all 64 agents, so each score row is read as one
        // run of four cache lines; the running values stay in registers.
        Lane16 sum[chunks], negative[chunks], top[chunks], first[chunks], tied[chunks];
#pragma GCC unroll 4
        for (int c = 0; c < chunks; ++c) {
            int32_t* row = a.scoreRow(0) + base + c * chunk;
            // Right: -1 - 2 * (-1) = +1; wrong: -1.
            const Lane16 v = load(row) - 1 - (expand(static_cast<uint32_t>(right[0] >> (c * chunk))) << 1);
            store(row, v);
            sum[c] = v;
            negative[c] = v;
            top[c] = v;
            first[c] = Lane16{};
            tied[c] = splat(1);
        }
        for (int32_t s = 1; s < slots; ++s) {
            int32_t* row = a.scoreRow(s) + base;
            const Lane16 slot = splat(s);
#pragma GCC unroll 4
            for (int c = 0; c < chunks; ++c) {
                const Lane16 v =
                    load(row + c * chunk) - 1 - (expand(static_cast<uint32_t>(right[s] >> (c * chunk))) << 1);
                store(row + c * chunk, v);
                sum[c] += v;
                negative[c] |= v;
                const Lane16 above = v > top[c];
                if (bestRule) tied[c] = above ? splat(1) : tied[c] - (v == top[c]);
                first[c] = above ? slot : first[c];
                top[c] = above ? v : top[c];
            }
        }

#pragma GCC unroll 4
        for (int c = 0; c < chunks; ++c) {
            const size_t at = base + static_cast<size_t>(c * chunk);
            const int shift = c * chunk;
            // Agents the scalar path finishes: a strategy to replace. Under
            // the best rule, a tie at the top needs a draw, taken below in
            // agent order.
            const Lane16 slow = (negative[c] < 0) & replacing;
            const Lane16 tie = bestRule ? ~slow & (tied[c] >= 2) : Lane16{};
            int32_t* recordAt = a.record.data() + at;
            int32_t* playedAt = a.playedSlot.data() + at;
            const Lane16 record = load(recordAt);
            const Lane16 played = load(playedAt);
            const Lane16 beats = top[c] > record;
            // The played slot moves with a new record, or under the best rule
            // to the single highest score.
            const Lane16 moves = ~slow & (bestRule ? ~tie : beats);
            const Lane16 nowPlayed = moves ? first[c] : played;
            const Lane16 nowRecord = (~slow & beats) ? top[c] : record;
            store(recordAt, nowRecord);
            store(playedAt, nowPlayed);
            store(l.before + c * chunk, played);
            bestRecord = nowRecord > bestRecord ? nowRecord : bestRecord;
            if (options.replacement) slowBits |= static_cast<uint64_t>(gather(slow)) << shift;
            movedBits |= static_cast<uint64_t>(gather(nowPlayed != played)) << shift;
            if (bestRule) {
                tieBits |= static_cast<uint64_t>(gather(tie)) << shift;
                store(l.top + c * chunk, top[c]);
                store(l.tied + c * chunk, tied[c]);
            }
            store(l.average + c * chunk, averages(sum[c], reciprocal));

            int32_t* capitalAt = a.capital.data() + at;
            const Lane16 capital = load(capitalAt) - 1 - (expand(static_cast<uint32_t>(won >> shift)) << 1);
            store(capitalAt, capital);
            const Lane16 grouped = expand(static_cast<uint32_t>(inGroup >> shift));
            groupedSum += capital & grouped;
            ungroupedSum += capital & ~grouped;
        }

        uint64_t* playedPlanes = a.playedWords(static_cast<size_t>(w));
        for (uint64_t m = movedBits; m != 0; m &= m - 1) {
            const int j = __builtin_ctzll(m);
            const uint64_t bit = uint64_t{1} << j;
            playedPlanes[l.before[j]] &= ~bit;
            playedPlanes[a.playedSlot[base + static_cast<size_t>(j)]] |= bit;
        }
        // Without a strategy to replace, only ties draw: their draws come in
        // one block.
        if (slowBits == 0) {
            if (tieBits != 0) learning.playTied(static_cast<size_t>(w), tieBits, l.top, l.tied);
        }
        for (uint64_t m = slowBits == 0 ? 0 : slowBits | tieBits; m != 0; m &= m - 1) {
            const int j = __builtin_ctzll(m);
            const auto agent = static_cast<int32_t>(base) + j;
            if ((slowBits >> j & 1) != 0) {
                learning.finish(agent);
                l.average[j] = learning.average(agent);
                bestRecord[0] = std::max(bestRecord[0], a.record[static_cast<size_t>(agent)]);
            } else {
                learning.playOneOf(agent, l.top[j], l.tied[j]);
            }
        }
        int64_t blockSum = 0;
        for (int j = 0; j < 64; ++j) blockSum += l.average[j];
        avgSum += blockSum;
        // Four chunks of capitals below 2^26 stay within 32 bits per lane.
        for (int j = 0; j < chunk; ++j) {
            groupedCapital += groupedSum[j];
            ungroupedCapital += ungroupedSum[j];
        }
    }
    int32_t best = totals.bestRecord;
    for (int j = 0; j < chunk; ++j) best = std::max(best, bestRecord[j]);
    totals.avgScoreSum += avgSum;
    totals.bestRecord = best;
    totals.groupedCapital += groupedCapital;
    totals.ungroupedCapital += ungroupedCapital;
}

#else

bool blockPassBuilt() { return false; }

uint64_t ageWord(int32_t* age, const int32_t* lifeSpan)
{
    uint64_t reached = 0;
    for (int j = 0; j < 64; ++j) {
        if (++age[j] == lifeSpan[j]) reached |= uint64_t{1} << j;
    }
    return reached;
}

void learnBlocks(AgentColumns&, Learning&, const ModelOptions&, const uint64_t*, int32_t, int32_t, int32_t,
                 LearningTotals&)
{
}

#endif

} // namespace dramolex::model::detail
