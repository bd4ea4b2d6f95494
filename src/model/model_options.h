#pragma once

#include <cstdint>

namespace dramolex::model {

// How agents choose the strategy they play.
enum class Rule : uint8_t {
    record,  // the strategy that last beat the agent's record score
    best,    // a strategy with the highest current score (the standard minority game)
};

// Where mortal agents' life spans come from.
enum class LifeSpans : uint8_t {
    fixed,   // the process-wide normal generator: every run draws the same sequence
    seeded,  // a normal generator of the population's own, derived from the run's seed
};

// The model family's choices. The defaults are the desktop program's model,
// and with them every run is the same as before these options existed.
struct ModelOptions {
    static constexpr int32_t defaultMemory = 3;
    static constexpr int32_t defaultStrategies = 10;
    static constexpr int32_t minMemory = 1;
    static constexpr int32_t maxMemory = 16;
    static constexpr int32_t minStrategies = 1;
    static constexpr int32_t maxStrategies = 16;

    int32_t memory = defaultMemory;          // rounds of history, 1..16; 2^memory history indices
    int32_t strategies = defaultStrategies;  // strategies per agent, 1..16
    Rule rule = Rule::record;
    bool replacement = true;                 // replace a strategy whose score falls below 0
    LifeSpans lifespans = LifeSpans::fixed;

    bool operator==(const ModelOptions&) const = default;

    // History indices per strategy: 2^memory.
    constexpr int32_t historyIndices() const { return int32_t{1} << memory; }
};

// Bytes of the population's strategy tables when each side takes one bit:
// numAgents x strategies x 2^memory / 8. Front ends check it against the
// memory they allow before they build a population.
constexpr uint64_t strategyTableBytes(int32_t numAgents, const ModelOptions& options)
{
    return static_cast<uint64_t>(numAgents) * static_cast<uint64_t>(options.strategies) *
           (uint64_t{1} << options.memory) / 8;
}

} // namespace dramolex::model
