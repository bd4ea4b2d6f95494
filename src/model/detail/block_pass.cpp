#include "model/detail/block_pass.h"

#include <algorithm>
#include <limits>

// The pass is written as plain loops over 32 lanes that the compiler turns
// into vector code; it is compiled once per instruction set and the best one
// for the running processor is picked at load time.
#if DRAMOLEX_SIMD && defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define DRAMOLEX_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define DRAMOLEX_VECTOR_CLONES
#endif
#define DRAMOLEX_INLINE [[gnu::always_inline]] inline

namespace dramolex::model::detail {

#if DRAMOLEX_SIMD

bool blockPassBuilt() { return true; }

namespace {

constexpr int half = 32;

struct alignas(64) Lanes {
    int32_t sum[2 * half];
    int32_t flag[2 * half];
    int32_t top[2 * half];
    int32_t tied[2 * half];
    int32_t first[2 * half];
    int32_t negative[2 * half];
    int32_t average[2 * half];
};

// +1 where the strategy was right, -1 elsewhere; flags a score below 0 (when
// replacing) or above the record.
DRAMOLEX_INLINE void scoreForRecord(int32_t* __restrict row, uint32_t right, const int32_t* __restrict record,
                                    int32_t* __restrict sum, int32_t* __restrict flag, uint32_t replacing)
{
    for (int j = 0; j < half; ++j) {
        const int32_t v = row[j] + static_cast<int32_t>((right >> j) & 1u) * 2 - 1;
        row[j] = v;
        sum[j] += v;
        flag[j] |= static_cast<int32_t>((static_cast<uint32_t>(v) >> 31) & replacing) | (v > record[j] ? 1 : 0);
    }
}

// The same scoring, tracking the highest score, how many share it and the
// first slot holding it.
DRAMOLEX_INLINE void scoreForBest(int32_t* __restrict row, uint32_t right, int32_t slot, int32_t* __restrict sum,
                                  int32_t* __restrict top, int32_t* __restrict tied, int32_t* __restrict first,
                                  int32_t* __restrict negative)
{
    for (int j = 0; j < half; ++j) {
        const int32_t v = row[j] + static_cast<int32_t>((right >> j) & 1u) * 2 - 1;
        row[j] = v;
        sum[j] += v;
        negative[j] |= v;
        const bool above = v > top[j];
        const bool equal = v == top[j];
        tied[j] = above ? 1 : tied[j] + (equal ? 1 : 0);
        first[j] = above ? slot : first[j];
        top[j] = above ? v : top[j];
    }
}

DRAMOLEX_INLINE void settleBest(int32_t* __restrict record, const int32_t* __restrict played,
                                const int32_t* __restrict top, const int32_t* __restrict tied,
                                const int32_t* __restrict first, const int32_t* __restrict negative,
                                int32_t* __restrict flag, uint32_t replacing)
{
    for (int j = 0; j < half; ++j) {
        flag[j] = static_cast<int32_t>((static_cast<uint32_t>(negative[j]) >> 31) & replacing) | (tied[j] >= 2 ? 1 : 0) |
                  (first[j] != played[j] ? 1 : 0);
        record[j] = std::max(record[j], top[j]);
    }
}

// Truncated sum / slots for every lane. The product with the reciprocal is
// within 2^-25 of the quotient for sums below 2^31, and a quotient that is not
// whole lies at least 1/16 from the next integer, so nudging by 2^-20 towards
// larger magnitude makes the truncation exact.
DRAMOLEX_INLINE void averages(const int32_t* __restrict sum, int32_t* __restrict average, double reciprocal)
{
    constexpr double nudge = 1.0 / (1 << 20);
    for (int j = 0; j < half; ++j) {
        const double q = static_cast<double>(sum[j]) * reciprocal + (sum[j] < 0 ? -nudge : nudge);
        average[j] = static_cast<int32_t>(q);
    }
}

struct CapitalSums {
    int64_t grouped = 0;
    int64_t ungrouped = 0;
};

DRAMOLEX_INLINE void payOut(int32_t* __restrict capital, uint32_t won, uint32_t grouped, CapitalSums& sums)
{
    int64_t g = 0, u = 0;
    for (int j = 0; j < half; ++j) {
        const int32_t c = capital[j] + static_cast<int32_t>((won >> j) & 1u) * 2 - 1;
        capital[j] = c;
        const bool inGroup = ((grouped >> j) & 1u) != 0;
        g += inGroup ? c : 0;
        u += inGroup ? 0 : c;
    }
    sums.grouped += g;
    sums.ungrouped += u;
}

uint32_t low(uint64_t word) { return static_cast<uint32_t>(word); }
uint32_t high(uint64_t word) { return static_cast<uint32_t>(word >> 32); }

} // namespace

DRAMOLEX_VECTOR_CLONES
void learnBlocks(AgentColumns& a, Learning& learning, const ModelOptions& options, const uint64_t* decisions,
                 int32_t fullWords, int32_t result, int32_t sti, LearningTotals& totals)
{
    const uint64_t flip = result != 0 ? 0 : ~uint64_t{0};
    const uint32_t replacing = options.replacement ? 1u : 0u;
    const bool bestRule = options.rule == Rule::best;
    const int32_t slots = a.numStrategies;
    const double reciprocal = 1.0 / slots;
    const size_t planeStride = static_cast<size_t>(a.words);
    const uint64_t* planes = a.plane(sti, 0);
    CapitalSums capitalSums;
    int64_t avgSum = 0;
    int32_t bestRecord = totals.bestRecord;
    Lanes l;

    for (int32_t w = 0; w < fullWords; ++w) {
        const size_t base = static_cast<size_t>(w) * 64;
        int32_t* record = a.record.data() + base;
        for (int j = 0; j < 2 * half; ++j) {
            l.sum[j] = 0;
            l.flag[j] = 0;
            l.top[j] = std::numeric_limits<int32_t>::min();
            l.tied[j] = 0;
            l.first[j] = 0;
            l.negative[j] = 0;
        }
        for (int32_t s = 0; s < slots; ++s) {
            const uint64_t right = planes[static_cast<size_t>(s) * planeStride + static_cast<size_t>(w)] ^ flip;
            int32_t* row = a.scoreRow(s) + base;
            if (bestRule) {
                scoreForBest(row, low(right), s, l.sum, l.top, l.tied, l.first, l.negative);
                scoreForBest(row + half, high(right), s, l.sum + half, l.top + half, l.tied + half, l.first + half,
                             l.negative + half);
            } else {
                scoreForRecord(row, low(right), record, l.sum, l.flag, replacing);
                scoreForRecord(row + half, high(right), record + half, l.sum + half, l.flag + half, replacing);
            }
        }
        if (bestRule) {
            const int32_t* played = a.playedSlot.data() + base;
            settleBest(record, played, l.top, l.tied, l.first, l.negative, l.flag, replacing);
            settleBest(record + half, played + half, l.top + half, l.tied + half, l.first + half, l.negative + half,
                       l.flag + half, replacing);
        }
        averages(l.sum, l.average, reciprocal);
        averages(l.sum + half, l.average + half, reciprocal);

        const uint64_t won = decisions[w] ^ flip;
        int32_t* capital = a.capital.data() + base;
        payOut(capital, low(won), low(a.grouped[static_cast<size_t>(w)]), capitalSums);
        payOut(capital + half, high(won), high(a.grouped[static_cast<size_t>(w)]), capitalSums);

        int32_t anyFlag = 0;
        for (int j = 0; j < 2 * half; ++j) anyFlag |= l.flag[j];
        if (anyFlag != 0) {
            for (int j = 0; j < 2 * half; ++j) {
                if (l.flag[j] == 0) continue;
                const auto agent = static_cast<int32_t>(base) + j;
                learning.finish(agent);
                l.average[j] = learning.average(agent);
            }
        }
        int64_t blockSum = 0;
        int32_t blockBest = bestRecord;
        for (int j = 0; j < 2 * half; ++j) {
            blockSum += l.average[j];
            blockBest = std::max(blockBest, record[j]);
        }
        avgSum += blockSum;
        bestRecord = blockBest;
    }
    totals.avgScoreSum += avgSum;
    totals.bestRecord = bestRecord;
    totals.groupedCapital += capitalSums.grouped;
    totals.ungroupedCapital += capitalSums.ungrouped;
}

#else

bool blockPassBuilt() { return false; }

void learnBlocks(AgentColumns&, Learning&, const ModelOptions&, const uint64_t*, int32_t, int32_t, int32_t,
                 LearningTotals&)
{
}

#endif

} // namespace dramolex::model::detail
