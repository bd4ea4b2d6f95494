// The model family's options, each against what it must change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "model/agent.h"
#include "model/model_options.h"
#include "model/round_rules.h"
#include "model/strategy.h"
#include "model/town.h"
#include "random/glibc_random.h"
#include "random/ziggurat.h"

namespace {

using dramolex::model::Agent;
using dramolex::model::ModelOptions;
using dramolex::model::Rule;
using dramolex::model::Strategy;
using dramolex::model::Town;
using dramolex::random::GlibcRandom;
using dramolex::random::Ziggurat;

constexpr int32_t intMax = std::numeric_limits<int32_t>::max();
constexpr int32_t intMin = std::numeric_limits<int32_t>::min();

ModelOptions options(int32_t memory, int32_t strategies, Rule rule = Rule::record, bool replacement = true)
{
    ModelOptions o;
    o.memory = memory;
    o.strategies = strategies;
    o.rule = rule;
    o.replacement = replacement;
    return o;
}

// The next value of each source is the same: both have made the same number of draws.
bool samePosition(const GlibcRandom& a, const GlibcRandom& b)
{
    GlibcRandom x = a, y = b;
    return x.rand() == y.rand() && x.rand() == y.rand();
}

struct Shape {
    int32_t memory;
    int32_t strategies;
};
// Inline masks (memory <= 3) and packed tables whose masks cross bytes.
const Shape shapes[] = {{1, 1}, {1, 16}, {2, 3}, {3, 10}, {3, 16}, {4, 10}, {5, 3}, {7, 13}, {10, 2}, {16, 1}};

TEST(MemoryAndStrategies, AnAgentDrawsItsStrategiesInOrderWithTwoToTheMemoryEntriesEach)
{
    for (const Shape& shape : shapes) {
        GlibcRandom uniform(404), mirror(404);
        const Agent agent(uniform, options(shape.memory, shape.strategies));
        ASSERT_EQ(agent.getNumStrategies(), shape.strategies);
        for (int i = 0; i < shape.strategies; ++i) {
            const Strategy expected(mirror, shape.memory);
            ASSERT_EQ(agent.strategy(i).decisions(), expected.decisions()) << shape.memory << "/" << shape.strategies;
            ASSERT_EQ(agent.strategy(i).getMemory(), shape.memory);
            ASSERT_EQ(agent.strategy(i).getScore(), 100);
        }
        EXPECT_TRUE(samePosition(uniform, mirror)) << "S x 2^M draws for " << shape.memory << "/" << shape.strategies;
    }
}

TEST(MemoryAndStrategies, AStrategyHasTwoToTheMemoryEntries)
{
    for (int32_t memory : {1, 3, 6, 7, 12}) {
        GlibcRandom uniform(5), mirror(5);
        const Strategy s(uniform, memory);
        for (int32_t sti = 0; sti < (1 << memory); ++sti) ASSERT_EQ(s.getDecision(sti), mirror.rand() % 2);
        EXPECT_TRUE(samePosition(uniform, mirror)) << memory;
    }
}

// An agent and, beside it, plain Strategy objects played by the rule as
// written: the played slot, the scores and the record must agree every round,
// and so must the position of the uniform source.
void playAgainstMirror(const Shape& shape, Rule rule, uint32_t seed)
{
    GlibcRandom uniform(seed), mirror(seed), rounds(seed + 1);
    Agent agent(uniform, options(shape.memory, shape.strategies, rule, false));
    std::vector<Strategy> own;
    for (int i = 0; i < shape.strategies; ++i) own.emplace_back(mirror, shape.memory);
    int expectedIndex = 0;
    if (rule == Rule::best && shape.strategies > 1) expectedIndex = mirror.rand() % shape.strategies;
    int32_t record = 100;
    ASSERT_EQ(agent.getBestIndex(), expectedIndex);

    for (int round = 0; round < 300; ++round) {
        const int32_t sti = rounds.rand() % (1 << shape.memory);
        const int32_t result = rounds.rand() % 2;
        agent.makeOwnDecision(sti);
        ASSERT_EQ(agent.getDecision(), own[static_cast<size_t>(expectedIndex)].getDecision(sti));
        agent.tellResult(result, sti, uniform);

        int64_t sum = 0;
        for (Strategy& s : own) {
            s.updateScore(result, sti);
            sum += s.getScore();
        }
        int32_t highest = own[0].getScore();
        for (const Strategy& s : own) highest = std::max(highest, s.getScore());
        std::vector<int> tied;
        for (int i = 0; i < shape.strategies; ++i) {
            if (own[static_cast<size_t>(i)].getScore() == highest) tied.push_back(i);
        }
        if (rule == Rule::best) {
            const int k = static_cast<int>(tied.size());
            expectedIndex = k > 1 ? tied[static_cast<size_t>(mirror.rand() % k)] : tied[0];
            record = std::max(record, highest);
        } else if (highest > record) {
            expectedIndex = tied[0];
            record = highest;
        }
        ASSERT_EQ(agent.getBestIndex(), expectedIndex) << "round " << round;
        ASSERT_EQ(agent.getBestStratScore(), record) << "round " << round;
        ASSERT_EQ(agent.getAvgStratScore(), sum / shape.strategies) << "round " << round;
        for (int i = 0; i < shape.strategies; ++i) {
            ASSERT_EQ(agent.strategy(i).getScore(), own[static_cast<size_t>(i)].getScore()) << "round " << round;
        }
    }
    EXPECT_TRUE(samePosition(uniform, mirror)) << "one draw per tie of two or more, none otherwise";
}

TEST(Rules, EitherRulePlaysAsWrittenForEveryShape)
{
    for (const Shape& shape : shapes) {
        if (shape.memory > 10) continue;  // 300 rounds visit too few of the indices
        for (Rule rule : {Rule::record, Rule::best}) {
            SCOPED_TRACE(testing::Message() << shape.memory << "/" << shape.strategies
                                            << (rule == Rule::best ? " best" : " record"));
            playAgainstMirror(shape, rule, 17);
        }
    }
}

TEST(Rules, BestRuleDrawsAmongAFirstRoundTieOfAllStrategies)
{
    // Two strategies agreeing at index 0 stay tied after the first round.
    for (uint32_t seed = 1; seed < 200; ++seed) {
        GlibcRandom uniform(seed), mirror(seed);
        Agent agent(uniform, options(1, 2, Rule::best, true));
        const Strategy first(mirror, 1), second(mirror, 1);
        const int32_t constructionDraw = mirror.rand() % 2;
        if (first.getDecision(0) != second.getDecision(0)) continue;
        ASSERT_EQ(agent.getBestIndex(), constructionDraw);
        agent.tellResult(1, 0, uniform);
        EXPECT_EQ(agent.getBestIndex(), mirror.rand() % 2);
        EXPECT_EQ(agent.getBestStratScore(), first.getDecision(0) == 1 ? 101 : 100);
        EXPECT_TRUE(samePosition(uniform, mirror));
        return;
    }
    FAIL() << "no agent with agreeing strategies";
}

TEST(Rules, BestRuleDrawsItsTieAfterTheReplacementDraws)
{
    GlibcRandom uniform(8), mirror(8);
    Agent agent(uniform, options(3, 4, Rule::best, true));
    std::vector<Strategy> own;
    for (int i = 0; i < 4; ++i) own.emplace_back(mirror, 3);
    (void)mirror.rand();  // the construction's tie draw among four

    agent.setScoreForTesting(1, 0);
    const int32_t result = 1 - own[1].getDecision(0);  // strategy 1 is wrong and falls to -1
    agent.tellResult(result, 0, uniform);

    own[1] = Strategy(mirror, 3);  // its replacement's eight draws come first
    std::vector<int> tied;
    int32_t highest = 0;
    for (int i = 0; i < 4; ++i) {
        const int32_t score = i == 1 ? 100 : (own[static_cast<size_t>(i)].getDecision(0) == result ? 101 : 99);
        if (score > highest) {
            highest = score;
            tied.clear();
        }
        if (score == highest) tied.push_back(i);
    }
    const int k = static_cast<int>(tied.size());
    const int expected = k > 1 ? tied[static_cast<size_t>(mirror.rand() % k)] : tied[0];
    EXPECT_EQ(agent.strategy(1).decisions(), own[1].decisions());
    EXPECT_EQ(agent.strategy(1).getScore(), 100);
    EXPECT_EQ(agent.getBestIndex(), expected);
    EXPECT_TRUE(samePosition(uniform, mirror));
}

TEST(Replacement, WhenOffAStrategyFallsBelowZeroAndStays)
{
    for (const Shape& shape : {Shape{3, 10}, Shape{5, 3}}) {
        GlibcRandom uniform(21);
        Agent agent(uniform, options(shape.memory, shape.strategies, Rule::record, false));
        const int32_t wrong = 1 - agent.strategy(0).getDecision(4);
        const GlibcRandom before = uniform;
        for (int round = 0; round < 150; ++round) agent.tellResult(wrong, 4, uniform);
        EXPECT_EQ(agent.strategy(0).getScore(), -50);
        int64_t sum = 0;
        for (int i = 0; i < shape.strategies; ++i) {
            const int32_t score = agent.strategy(i).getScore();
            EXPECT_EQ(score, agent.strategy(i).getDecision(4) == wrong ? 250 : -50);
            sum += score;
        }
        EXPECT_EQ(agent.getAvgStratScore(), sum / shape.strategies);
        EXPECT_TRUE(samePosition(uniform, before)) << "no replacement draws";
    }
}

TEST(Saturation, CapitalStopsAtTheEndsOfTheRange)
{
    GlibcRandom uniform(2);
    Agent agent(uniform);
    agent.setDecision(1);
    agent.setCapitalForTesting(intMax - 1);
    agent.tellResult(1, 0, uniform);
    EXPECT_EQ(agent.getCapital(), intMax);
    agent.tellResult(1, 0, uniform);
    EXPECT_EQ(agent.getCapital(), intMax);
    agent.tellResult(0, 0, uniform);
    EXPECT_EQ(agent.getCapital(), intMax - 1);

    agent.setCapitalForTesting(intMin + 1);
    agent.tellResult(0, 0, uniform);
    EXPECT_EQ(agent.getCapital(), intMin);
    agent.tellResult(0, 0, uniform);
    EXPECT_EQ(agent.getCapital(), intMin);
}

TEST(Saturation, ScoresStopAtTheEndsOfTheRange)
{
    for (const Shape& shape : {Shape{3, 10}, Shape{4, 16}, Shape{2, 1}}) {
        SCOPED_TRACE(testing::Message() << shape.memory << "/" << shape.strategies);
        GlibcRandom uniform(6);
        const Agent fresh(uniform, options(shape.memory, shape.strategies, Rule::record, false));
        const int32_t side = fresh.strategy(0).getDecision(1);
        auto averageOk = [&](const Agent& agent) {
            int64_t sum = 0;
            for (int i = 0; i < shape.strategies; ++i) sum += agent.strategy(i).getScore();
            return agent.getAvgStratScore() == sum / shape.strategies;
        };

        Agent top = fresh;
        top.setScoreForTesting(0, intMax - 1);
        top.tellResult(side, 1, uniform);
        EXPECT_EQ(top.strategy(0).getScore(), intMax);
        top.tellResult(side, 1, uniform);
        EXPECT_EQ(top.strategy(0).getScore(), intMax);
        EXPECT_EQ(top.getBestStratScore(), intMax);
        EXPECT_TRUE(averageOk(top));
        top.tellResult(1 - side, 1, uniform);
        EXPECT_EQ(top.strategy(0).getScore(), intMax - 1);

        Agent bottom = fresh;  // its record stays far from the top
        bottom.setScoreForTesting(0, intMin + 1);
        bottom.tellResult(1 - side, 1, uniform);
        EXPECT_EQ(bottom.strategy(0).getScore(), intMin);
        bottom.tellResult(1 - side, 1, uniform);
        EXPECT_EQ(bottom.strategy(0).getScore(), intMin);
        EXPECT_TRUE(averageOk(bottom));
        bottom.tellResult(side, 1, uniform);
        EXPECT_EQ(bottom.strategy(0).getScore(), intMin + 1);
    }
}

TEST(Saturation, AStrategyScoreStopsAtTheEndsOfTheRange)
{
    Strategy top(0b1, intMax);
    top.updateScore(1, 0);
    EXPECT_EQ(top.getScore(), intMax);
    Strategy bottom(0b1, intMin);
    bottom.updateScore(0, 0);
    EXPECT_EQ(bottom.getScore(), intMin);
}

TEST(History, TheIndexHoldsTheLastMemoryResults)
{
    namespace rules = dramolex::model::rules;
    EXPECT_EQ(rules::pushResult(0b101, 1, 3), 0b011u);
    EXPECT_EQ(rules::pushResult(0b101, 0, 4), 0b1010u);
    EXPECT_EQ(rules::pushResult(1, 1, 1), 1u);
    EXPECT_EQ(rules::pushResult(0xFFFF, 0, 16), 0xFFFEu);

    for (int32_t memory : {1, 2, 3, 7, 16}) {
        Town town(memory == 16 ? 5 : 21, 0, Town::noMortality, 1, 3, options(memory, 2));
        std::vector<int32_t> results;  // most recent first
        for (int round = 0; round < 40; ++round) {
            uint32_t expected = 0;
            for (int k = 0; k < memory && k < static_cast<int>(results.size()); ++k) {
                expected |= static_cast<uint32_t>(results[static_cast<size_t>(k)]) << k;
            }
            const int32_t result = town.turn().result;
            ASSERT_EQ(town.getSti(), static_cast<int32_t>(expected)) << "memory " << memory << " round " << round;
            results.insert(results.begin(), result);
        }
    }
}

TEST(StrategyTable, BytesAreOneBitPerSide)
{
    struct Case {
        int32_t agents, memory, strategies;
        uint64_t bytes;
    };
    const Case cases[] = {
        {16348, 3, 10, 163480},
        {16348, 16, 16, 2142765056},  // above a 1 GiB limit
        {1000, 10, 2, 256000},
        {3, 1, 1, 0},  // 6 bits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dramolex::model::strategyTableBytes(c.agents, options(c.memory, c.strategies)), c.bytes);
    }
}

std::vector<int32_t> lifeSpans(const Town& town)
{
    std::vector<int32_t> spans;
    for (const Agent& a : town.agents()) spans.push_back(a.getLifeSpan());
    return spans;
}

TEST(LifeSpans, SeededOnesComeFromTheTownsOwnGeneratorStartedFromTheSeed)
{
    ModelOptions seeded;
    seeded.lifespans = dramolex::model::LifeSpans::seeded;
    const uint32_t processState = Ziggurat::processWide().state();

    Town town(30, 0, 50, 1, 77, seeded);
    Ziggurat expected = Ziggurat::seededFor(77);
    for (int32_t span : lifeSpans(town)) {
        expected.zigset(Agent::lifeSpanSeed);
        EXPECT_EQ(span, Agent::lifeSpanFrom(expected.rnor(), 50));
    }
    EXPECT_EQ(lifeSpans(Town(30, 0, 50, 1, 77, seeded)), lifeSpans(town)) << "a seed repeats itself";
    EXPECT_NE(lifeSpans(Town(30, 0, 50, 1, 78, seeded)), lifeSpans(town)) << "another seed does not";

    for (int round = 0; round < 120; ++round) town.turn();  // newborns draw too
    EXPECT_EQ(Ziggurat::processWide().state(), processState) << "the process-wide generator is not touched";
}

// Variance of A = 2 x attendance - N over the rounds after a burn-in, over N.
double volatility(int32_t memory, int32_t agents, int rounds)
{
    Town town(agents, 0, Town::noMortality, 1, 2024, options(memory, 2, Rule::best, false));
    for (int r = 0; r < 200; ++r) town.turn();
    double sum = 0.0, squares = 0.0;
    for (int r = 0; r < rounds; ++r) {
        const double a = 2.0 * town.turn().attendance - agents;
        sum += a;
        squares += a * a;
    }
    const double mean = sum / rounds;
    return (squares / rounds - mean * mean) / agents;
}

TEST(StandardGame, CrowdedMarketsSwingFarMoreThanCoinTosses)
{
    EXPECT_GT(volatility(2, 401, 2000), 10.0);  // alpha = 4 / 401
}

TEST(StandardGame, SparseMarketsSwingLikeCoinTosses)
{
    const double v = volatility(10, 101, 2000);  // alpha = 1024 / 101
    EXPECT_GT(v, 0.5);
    EXPECT_LT(v, 1.6);
}

} // namespace
