#pragma once

#include <cstdint>

namespace dramolex::model {

// How agents choose the strategy they play.
enum class Rule {
    record,  // the strategy that last beat the agent's record score
    best,    // a strategy with the highest current score (the standard minority game)
};

// Where mortal agents' life spans come from.
enum class LifeSpans {
    fixed,   // the process-wide normal generator: every run draws the same sequence
    seeded,  // a normal generator of the population's own, derived from the run's seed
};

// The model family's choices. The defaults are the desktop program's model,
// and with them every run is the same as before these options existed.
struct ModelOptions {
    static constexpr int32_t defaultMemory = 3;
    static constexpr int32_t defaultStrategies = 10;

    int32_t memory = defaultMemory;          // rounds of history, 1..16; 2^memory history indices
    int32_t strategies = defaultStrategies;  // strategies per agent, 1..16
    Rule rule = Rule::record;
    bool replacement = true;                 // replace a strategy whose score falls below 0
    LifeSpans lifespans = LifeSpans::fixed;

    bool operator==(const ModelOptions&) const = default;
};

} // namespace dramolex::model
