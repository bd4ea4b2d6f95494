#pragma once

#include <array>
#include <cstdint>

// The arithmetic rules of a round, kept apart from the agents so that each
// rule can be checked on its own.
namespace dramolex::model::rules {

// Of three results: most recent result worth 1, the one before 2, the oldest 4.
constexpr int32_t historyIndex(const std::array<int32_t, 3>& history)
{
    return history[0] + 2 * history[1] + 4 * history[2];
}

// The history register after a round: the latest result enters at bit 0
// and the result memory rounds old leaves. The register is the history index.
constexpr uint32_t pushResult(uint32_t history, int32_t result, int32_t memory)
{
    return ((history << 1) | static_cast<uint32_t>(result)) & ((uint32_t{1} << memory) - 1);
}

struct Winner {
    int32_t result;
    int32_t numWinners;
};

// The minority side wins; an exact half on side 1 wins for side 1.
constexpr Winner decideWinner(int32_t sideOneCount, int32_t numAgents)
{
    if (sideOneCount > numAgents / 2) return {0, numAgents - sideOneCount};
    return {1, sideOneCount};
}

// Grouped average minus ungrouped average, truncating toward zero.
// groupedCount is one more than the number of grouped agents. An ungrouped
// divisor of 0 (exactly one agent outside the groups) divides by 1.
constexpr int32_t capitalGap(int64_t groupedCapital, int32_t groupedCount, int64_t ungroupedCapital,
                             int32_t numAgents, int32_t numGroups)
{
    if (numGroups == 1) return 0;
    int32_t ungroupedDivisor = numAgents - groupedCount;
    if (ungroupedDivisor == 0) ungroupedDivisor = 1;
    return static_cast<int32_t>(groupedCapital / groupedCount - ungroupedCapital / ungroupedDivisor);
}

} // namespace dramolex::model::rules
