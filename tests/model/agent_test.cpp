#include "model/agent.h"

#include <gtest/gtest.h>

#include "model/strategy.h"
#include "random/glibc_random.h"
#include "random/ziggurat.h"

namespace {

using dramolex::model::Agent;
using dramolex::model::Strategy;
using dramolex::random::GlibcRandom;
using dramolex::random::Ziggurat;

TEST(Agent, NewAgentStartsFromTheInitialValues)
{
    GlibcRandom uniform(5);
    const Agent a(uniform);
    EXPECT_EQ(a.getCapital(), 100);
    EXPECT_EQ(a.getAge(), 0);
    EXPECT_EQ(a.getGroupIndex(), -1);
    EXPECT_EQ(a.getBestIndex(), 0);
    EXPECT_EQ(a.getBestStratScore(), 100);
    EXPECT_EQ(a.getAvgStratScore(), 0);
    EXPECT_EQ(a.getLifeSpan(), -1);
}

TEST(Agent, StrategiesAreTheTenStrategiesOfItsDrawsInOrder)
{
    GlibcRandom uniform(77), mirror(77);
    const Agent a(uniform);
    for (int i = 0; i < 10; ++i) {
        const Strategy expected(mirror);
        EXPECT_EQ(a.strategy(i).decisions(), expected.decisions()) << "strategy " << i;
        EXPECT_EQ(a.strategy(i).getScore(), 100);
    }
    EXPECT_EQ(uniform.rand(), mirror.rand()) << "80 draws in all";
}

TEST(Agent, FirstLearningStepPicksTheLowestIndexThatWasRight)
{
    for (unsigned seed = 1; seed <= 30; ++seed) {
        GlibcRandom uniform(seed);
        Agent a(uniform);
        const int sti = static_cast<int>(seed % 8);
        const int result = static_cast<int>(seed % 2);
        a.makeOwnDecision(sti);
        const int own = a.getDecision();
        EXPECT_EQ(own, a.strategy(0).getDecision(sti));

        int firstRight = -1, sum = 0;
        for (int i = 0; i < 10; ++i) {
            const bool right = a.strategy(i).getDecision(sti) == result;
            if (right && firstRight < 0) firstRight = i;
            sum += right ? 101 : 99;
        }
        EXPECT_EQ(a.tellResult(result, sti, uniform), own == result ? 1 : 0);
        EXPECT_EQ(a.getCapital(), own == result ? 101 : 99);
        EXPECT_EQ(a.getBestIndex(), firstRight < 0 ? 0 : firstRight);
        EXPECT_EQ(a.getBestStratScore(), firstRight < 0 ? 100 : 101);
        EXPECT_EQ(a.getAvgStratScore(), sum / 10);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(a.strategy(i).getScore(), a.strategy(i).getDecision(sti) == result ? 101 : 99);
        }
    }
}

// Plays rounds with a fixed history index, with a result chosen per round.
template <typename ResultFor>
void play(Agent& a, GlibcRandom& uniform, int sti, int rounds, ResultFor resultFor)
{
    for (int r = 0; r < rounds; ++r) {
        a.makeOwnDecision(sti);
        a.tellResult(resultFor(a), sti, uniform);
    }
}

TEST(Agent, TheRecordIsKeptUntilAnotherStrategyPassesIt)
{
    // Find an agent whose strategies 0 and 1 disagree at index 0 and 1 (one
    // rises when the other falls) so the record can be probed.
    for (unsigned seed = 1; seed < 500; ++seed) {
        GlibcRandom uniform(seed);
        Agent a(uniform);
        const Strategy s0 = a.strategy(0);
        if (s0.getDecision(0) == a.strategy(1).getDecision(0)) continue;
        const int right = s0.getDecision(0);
        // Strategy 0 gains 3 points; strategies agreeing with it gain as well.
        play(a, uniform, 0, 3, [&](const Agent&) { return right; });
        const int recordIndex = a.getBestIndex();
        const int record = a.getBestStratScore();
        EXPECT_EQ(record, 103);
        EXPECT_EQ(a.strategy(recordIndex).getDecision(0), right);
        // Three rounds the other way: the played strategy falls back to 100
        // and stays in play.
        play(a, uniform, 0, 3, [&](const Agent&) { return 1 - right; });
        EXPECT_EQ(a.getBestIndex(), recordIndex);
        EXPECT_EQ(a.getBestStratScore(), 103);
        // Three more: the disagreeing strategies reach 103, equal to the
        // record, which is not enough.
        play(a, uniform, 0, 3, [&](const Agent&) { return 1 - right; });
        EXPECT_EQ(a.getBestIndex(), recordIndex);
        EXPECT_EQ(a.getBestStratScore(), 103);
        // One more and they pass it.
        play(a, uniform, 0, 1, [&](const Agent&) { return 1 - right; });
        EXPECT_EQ(a.getBestStratScore(), 104);
        EXPECT_NE(a.strategy(a.getBestIndex()).getDecision(0), right);
        return;
    }
    FAIL() << "no suitable agent found";
}

TEST(Agent, AStrategyAtMinusOneIsReplacedWithinTheSameStep)
{
    GlibcRandom uniform(3);
    Agent a(uniform);
    const int wrongForZero = 1 - a.strategy(0).getDecision(2);
    // After 101 rounds strategy 0 has been wrong 101 times.
    for (int r = 0; r < 100; ++r) a.tellResult(wrongForZero, 2, uniform);
    ASSERT_EQ(a.strategy(0).getScore(), 0);

    GlibcRandom replay = uniform;  // the draws the replacements will use
    a.tellResult(wrongForZero, 2, uniform);
    EXPECT_EQ(a.strategy(0).getScore(), 100) << "replaced in the same call";
    // Every strategy that fell to -1 here was replaced in index order.
    int replaced = 0;
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        sum += a.strategy(i).getScore();
        if (a.strategy(i).getScore() == 100) {
            const Strategy fresh(replay);
            EXPECT_EQ(a.strategy(i).decisions(), fresh.decisions()) << "strategy " << i;
            ++replaced;
        }
    }
    EXPECT_GE(replaced, 1);
    EXPECT_EQ(a.getAvgStratScore(), sum / 10) << "the replacement's 100 counts in the average";
    EXPECT_EQ(uniform.rand(), replay.rand());
}

TEST(Agent, CapitalFollowsTheFinalDecisionAndCanGoNegative)
{
    GlibcRandom uniform(11);
    Agent a(uniform);
    for (int r = 0; r < 150; ++r) {
        a.setDecision(0);
        EXPECT_EQ(a.tellResult(1, r % 8, uniform), 0);
    }
    EXPECT_EQ(a.getCapital(), -50);
}

TEST(Agent, AgingReturnsZeroOnTheCallThatReachesTheLifeSpan)
{
    GlibcRandom uniform(1);
    Ziggurat normal;
    Agent a(50, uniform, normal);
    ASSERT_EQ(a.getLifeSpan(), 59);
    for (int i = 1; i < 59; ++i) ASSERT_EQ(a.aging(), 1) << "call " << i;
    EXPECT_EQ(a.aging(), 0);
    EXPECT_EQ(a.getAge(), 59);

    Agent immortal(uniform);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(immortal.aging(), 1);
}

TEST(Agent, LifeSpanIsClampedAndTruncated)
{
    struct Case {
        float z;
        int avgAge;
        int expected;
    };
    const Case cases[] = {
        {11.0f, 50, 100},   // v = 105
        {2.0f, 90, 100},    // v = 100 exactly: not above 100
        {-11.0f, 50, 1},    // v = -5
        {-0.05f, 1, 1},     // v = 0.75
        {1.58f, 50, 57},    // v = 57.9
        {0.0f, 1, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(Agent::lifeSpanFrom(c.z, c.avgAge), c.expected) << c.z << " " << c.avgAge;
}

} // namespace
