#pragma once

#include <cstddef>
#include <cstdint>

#include "model/detail/agent_columns.h"
#include "model/detail/learning.h"
#include "model/model_options.h"

namespace dramolex::model::detail {

// What the learning step of a round sums up for the report.
struct LearningTotals {
    int64_t avgScoreSum = 0;
    int32_t bestRecord = 0;
    int64_t groupedCapital = 0;
    int64_t ungroupedCapital = 0;
};

// Sets every agent's own side for history index sti (the side of its played
// slot), one bit per agent; returns how many chose side 1.
int32_t decideOwnSides(const AgentColumns& a, int32_t sti, uint64_t* decisions);

// Set bits in count words.
int32_t countOnes(const uint64_t* words, size_t count);

// Ages 64 agents by one round; bit j of the result is set when agent j has
// reached its life span.
uint64_t ageWord(int32_t* age, const int32_t* lifeSpan);

// bits[k] |= (draws[k] & 1) << lane for k < count: one newborn's sides into
// the words of its 64-agent block.
void foldSides(uint64_t* bits, const int32_t* draws, size_t count, int lane);

// Whether this build has the vector pass (the DRAMOLEX_SIMD build option).
bool blockPassBuilt();

// The learning step for every agent in the first fullWords words, 64 agents
// per word, in vector lanes: capital, scores, the checks for a score below 0
// and for a new record (or, under the best rule, for a tie or a change at the
// top). The few agents a check picks out finish in Learning, in agent order,
// so their draws come in the reference order. Valid while no capital or score
// can reach 2^26 in magnitude.
void learnBlocks(AgentColumns& a, Learning& learning, const ModelOptions& options, const uint64_t* decisions,
                 int32_t fullWords, int32_t result, int32_t sti, LearningTotals& totals);

} // namespace dramolex::model::detail
