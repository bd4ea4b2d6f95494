#pragma once

#include <array>
#include <cstdint>

#include "model/strategy.h"
#include "model/strategy_set.h"
#include "random/glibc_random.h"

namespace dramolex::random {
class Ziggurat;
}

namespace dramolex::model {

// One member of the population with its ten strategies.
//
// The ten strategies live side by side in a StrategySet rather than as ten
// objects; strategy(i) gives the Strategy value when one is needed.
// Two cache lines: the fields and sides used to choose a side in the first,
// the scores in the second.
class alignas(64) Agent {
public:
    static constexpr int numStrategies = 10;
    static constexpr int32_t noGroup = -1;
    static constexpr uint32_t lifeSpanSeed = 1684623u;

    // Immortal agent: ten strategies (80 draws), life span -1.
    explicit Agent(random::GlibcRandom& uniform);
    // Mortal agent: the same strategies, then one normal draw for the life span.
    Agent(int32_t avgAge, random::GlibcRandom& uniform, random::Ziggurat& normal);

    int32_t getAge() const { return age; }
    int32_t getLifeSpan() const { return lifeSpan; }
    // Raises the age; 0 when the agent has reached its life span, else 1.
    int32_t aging() { return ++age == lifeSpan ? 0 : 1; }

    int32_t getGroupIndex() const { return groupIndex; }
    void setGroupIndex(int32_t index) { groupIndex = index; }
    void allocateGroup(int32_t numGrps, random::GlibcRandom& uniform) { groupIndex = uniform.below(numGrps); }

    void makeOwnDecision(int32_t STI) { decision = strategies.decision(bestIndex, STI); }
    void setDecision(int32_t side) { decision = side; }
    int32_t getDecision() const { return decision; }

    // Learning step: capital, scores, replacement of strategies below zero
    // (fresh draws from uniform, in strategy order), record and average.
    // Returns 1 if the agent was on the winning side.
    int32_t tellResult(int32_t result, int32_t STI, random::GlibcRandom& uniform)
    {
        const int32_t won = decision == result ? 1 : 0;
        capital += won * 2 - 1;
        const StrategySet::Outcome scored = strategies.score(result, STI, bestScore);
        if (scored.anyNegative) replaceFailedStrategies(uniform);
        if (scored.anyNegative || scored.beatsRecord) updateRecord();
        avgScore = static_cast<int32_t>(strategies.sum() / numStrategies);
        return won;
    }

    int32_t getCapital() const { return capital; }
    int32_t getAvgStratScore() const { return avgScore; }
    int32_t getBestStratScore() const { return bestScore; }
    int32_t getBestIndex() const { return bestIndex; }

    Strategy strategy(int index) const { return strategies.get(index); }

    // Life span from a standard normal variate, rounded as single precision.
    static int32_t lifeSpanFrom(float z, int32_t avgAge);

private:
    void replaceFailedStrategies(random::GlibcRandom& uniform);
    void updateRecord();

    int32_t age = 0;
    int32_t lifeSpan = -1;
    int32_t groupIndex = noGroup;
    int32_t decision = 0;
    int32_t capital = 100;
    int32_t bestScore = Strategy::initialScore;
    int32_t bestIndex = 0;
    int32_t avgScore = 0;
    StrategySet strategies;
};

} // namespace dramolex::model
