#include "model/strategy.h"

#include <gtest/gtest.h>

#include "random/glibc_random.h"

namespace {

using dramolex::model::Strategy;
using dramolex::random::GlibcRandom;

TEST(Strategy, NewStrategyTakesEightDrawsInIndexOrderAndScores100)
{
    GlibcRandom draws(2024), mirror(2024);
    const Strategy s(draws);
    EXPECT_EQ(s.getScore(), 100);
    for (int sti = 0; sti < 8; ++sti) EXPECT_EQ(s.getDecision(sti), mirror.rand() % 2) << "entry " << sti;
    EXPECT_EQ(draws.rand(), mirror.rand()) << "exactly eight draws";
}

TEST(Strategy, ScoringMovesByOneAgainstTheResult)
{
    const Strategy base(0b10100101, 100);
    Strategy s = base;
    s.updateScore(1, 0);  // entry 0 is 1: right
    EXPECT_EQ(s.getScore(), 101);
    s.updateScore(1, 1);  // entry 1 is 0: wrong
    EXPECT_EQ(s.getScore(), 100);
    s.updateScore(0, 3);
    s.updateScore(1, 3);
    EXPECT_EQ(s.getScore(), 100) << "one call with each result cancels out";
}

TEST(Strategy, WrongFor101RoundsReachesMinusOne)
{
    Strategy s(0b00000000, 100);
    for (int i = 0; i < 101; ++i) s.updateScore(1, 6);
    EXPECT_EQ(s.getScore(), -1);
}

} // namespace
