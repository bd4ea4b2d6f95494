#include "model/agent.h"

#include "random/glibc_random.h"
#include "random/ziggurat.h"

namespace dramolex::model {

Agent::Agent(random::GlibcRandom& uniform, const ModelOptions& options)
    : strategies(StrategySet::drawn(uniform, options.strategies, options.memory, options.replacement)),
      rule(options.rule)
{
    if (rule == Rule::best) playHighestScore(uniform);
}

Agent::Agent(int32_t avgAge, random::GlibcRandom& uniform, random::Ziggurat& normal, const ModelOptions& options)
    : Agent(uniform, options)
{
    normal.zigset(lifeSpanSeed);
    lifeSpan = lifeSpanFrom(normal.rnor(), avgAge);
}

int32_t Agent::lifeSpanFrom(float z, int32_t avgAge)
{
    float v = static_cast<float>(static_cast<double>(z) * 5.0);
    v = static_cast<float>(static_cast<double>(v) + static_cast<double>(static_cast<float>(avgAge)));
    if (v > 100.0f) return 100;
    if (v < 1.0f) return 1;
    return static_cast<int32_t>(v);
}

void Agent::updateRecord()
{
    // Scanning in order with "strictly greater than the record" ends on the
    // lowest index among the highest scores, and only if it beats the record.
    const auto best = static_cast<int32_t>(__builtin_ctz(strategies.highestSlots()));
    if (strategies.score(best) > bestScore) {
        bestScore = strategies.score(best);
        bestIndex = best;
    }
}

void Agent::playHighestScore(random::GlibcRandom& uniform)
{
    // Among k tied slots, the r-th in slot order for r = rand() % k; a
    // single highest slot draws nothing.
    uint32_t slots = strategies.highestSlots();
    const int32_t tied = __builtin_popcount(slots);
    for (int32_t skip = tied > 1 ? uniform.below(tied) : 0; skip > 0; --skip) slots &= slots - 1;
    bestIndex = static_cast<int32_t>(__builtin_ctz(slots));
    const int32_t highest = strategies.score(bestIndex);
    if (highest > bestScore) bestScore = highest;
}

} // namespace dramolex::model
