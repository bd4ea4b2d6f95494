#pragma once

#include <cstdint>

#include "model/model_options.h"
#include "model/saturating.h"
#include "model/strategy.h"
#include "model/strategy_set.h"
#include "random/glibc_random.h"

namespace dramolex::random {
class Ziggurat;
}

namespace dramolex::model {

// One member of the population with its strategies.
//
// The strategies live side by side in a StrategySet rather than as separate
// objects; strategy(i) gives the Strategy value when one is needed. The
// fields and a small side table used to choose a side share the first cache
// line, the scores fill the second; the third holds what the default model's
// round rarely reads (a large side table, the rule).
class alignas(64) Agent {
public:
    // Strategies of an agent of the default model.
    static constexpr int numStrategies = ModelOptions::defaultStrategies;
    static constexpr int32_t noGroup = -1;
    static constexpr uint32_t lifeSpanSeed = 1684623u;

    // Immortal agent: options.strategies strategies of 2^options.memory
    // draws each, then, under the best rule, the draw that picks the played
    // one among the tied; life span -1.
    explicit Agent(random::GlibcRandom& uniform, const ModelOptions& options = {});
    // Mortal agent: the same draws, then one normal draw for the life span.
    Agent(int32_t avgAge, random::GlibcRandom& uniform, random::Ziggurat& normal, const ModelOptions& options = {});

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
    // (fresh draws from uniform, in slot order) when replacement is on,
    // then the choice of the strategy to play and the average score.
    // Returns 1 if the agent was on the winning side.
    int32_t tellResult(int32_t result, int32_t STI, random::GlibcRandom& uniform)
    {
        // The default shape is compiled with its constants; others read theirs.
        return strategies.hasDefaultShape() ? learn<StrategySet::defaultShape>(result, STI, uniform)
                                            : learn<StrategySet::anyShape>(result, STI, uniform);
    }

    int32_t getCapital() const { return capital; }
    int32_t getAvgStratScore() const { return avgScore; }
    // The highest strategy score ever recorded, under either rule.
    int32_t getBestStratScore() const { return bestScore; }
    // The slot of the strategy in play.
    int32_t getBestIndex() const { return bestIndex; }
    int32_t getNumStrategies() const { return strategies.count(); }
    int32_t getMemory() const { return strategies.memory(); }

    Strategy strategy(int index) const { return strategies.get(index); }

    // For tests only: put the agent next to the ends of the int32 range
    // without playing 2^31 rounds. A score above the record raises the
    // record with it (the record is the highest score ever held); the
    // strategy in play stays.
    void setCapitalForTesting(int32_t value) { capital = value; }
    void setScoreForTesting(int index, int32_t value)
    {
        strategies.setScore(index, value);
        if (value > bestScore) bestScore = value;
    }

    // Life span from a standard normal variate, rounded as single precision.
    static int32_t lifeSpanFrom(float z, int32_t avgAge);

private:
    template <StrategySet::Shape S>
    int32_t learn(int32_t result, int32_t STI, random::GlibcRandom& uniform)
    {
        const int32_t won = decision == result ? 1 : 0;
        capital = saturatingStep(capital, won == 1);
        const StrategySet::Outcome scored = strategies.score<S>(result, STI, bestScore);
        if (scored.anyNegative() && (S.replaces || strategies.replaces())) strategies.replaceFailed(uniform);
        if (rule == Rule::best) {
            playHighestScore(uniform);
        } else if (scored.beatsRecord()) {
            // A replacement starts at 100, never above the record, so only
            // a scored strategy can set a new one.
            updateRecord();
        }
        avgScore = strategies.average<S>();
        return won;
    }

    void updateRecord();
    void playHighestScore(random::GlibcRandom& uniform);

    int32_t age = 0;
    int32_t lifeSpan = -1;
    int32_t groupIndex = noGroup;
    int32_t decision = 0;
    int32_t capital = 100;
    int32_t bestScore = Strategy::initialScore;
    int32_t bestIndex = 0;
    int32_t avgScore = 0;
    StrategySet strategies;
    Rule rule = Rule::record;
};

} // namespace dramolex::model
