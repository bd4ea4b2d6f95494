#include "model/agent.h"

#include "random/glibc_random.h"
#include "random/ziggurat.h"

namespace dramolex::model {

Agent::Agent(random::GlibcRandom& uniform) : strategies(StrategySet::drawn(uniform)) {}

Agent::Agent(int32_t avgAge, random::GlibcRandom& uniform, random::Ziggurat& normal) : Agent(uniform)
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

void Agent::replaceFailedStrategies(random::GlibcRandom& uniform)
{
    // In strategy order, so the draws come in the order of the slots.
    for (int i = 0; i < numStrategies; ++i) {
        if (strategies.score(i) < 0) strategies.set(i, Strategy(uniform));
    }
}

void Agent::updateRecord()
{
    // Scanning in order with "strictly greater than the record" ends on the
    // lowest index among the highest scores, and only if it beats the record.
    const int best = strategies.bestIndex();
    if (strategies.score(best) > bestScore) {
        bestScore = strategies.score(best);
        bestIndex = best;
    }
}

} // namespace dramolex::model
