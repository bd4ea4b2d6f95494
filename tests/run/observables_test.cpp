#include "run/observables.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using dramolex::run::FrozenAgents;
using dramolex::run::RoundObservables;

TEST(RoundObservables, HandBuiltRounds)
{
    // Four agents, memory 1. A = 2 x attendance - 4 runs 2, -2, 0, 4:
    // mean 1, Var(A) = (4 + 4 + 0 + 16) / 4 - 1 = 5.
    // Under mu = 0: A = 2, 0, mean 1; under mu = 1: -2, 4, mean 1.
    RoundObservables o(1, 4);
    EXPECT_FALSE(o.sigma2OverN());
    EXPECT_FALSE(o.hOverN());
    EXPECT_FALSE(o.meanAttendance());
    o.add(3, 0, 1, 0, 10);
    o.add(1, 1, 1, 2, 6);
    o.add(2, 0, 2, 0, 4);
    o.add(4, 1, 0, 1, 8);
    EXPECT_EQ(o.rounds(), 4);
    EXPECT_DOUBLE_EQ(*o.sigma2OverN(), 5.0 / 4);
    EXPECT_DOUBLE_EQ(*o.hOverN(), (1.0 + 1.0) / 2 / 4);
    EXPECT_DOUBLE_EQ(*o.meanAttendance(), 2.5);
    EXPECT_DOUBLE_EQ(*o.meanWinners(), 1.0);
    EXPECT_DOUBLE_EQ(*o.meanDeaths(), 0.75);
    EXPECT_DOUBLE_EQ(*o.meanAge(), 28.0 / 4 / 4);
}

TEST(RoundObservables, UnvisitedHistoryIndicesCountZero)
{
    // Memory 2: four indices, only mu = 3 visited, always with A = 6 - 10.
    RoundObservables o(2, 10);
    for (int i = 0; i < 5; ++i) o.add(3, 3, 3, 0, 0);
    EXPECT_DOUBLE_EQ(*o.hOverN(), 16.0 / 4 / 10);
    EXPECT_DOUBLE_EQ(*o.sigma2OverN(), 0.0) << "a constant attendance has no variance";
    EXPECT_THROW(o.add(3, 4, 3, 0, 0), std::logic_error) << "index outside 2^memory";
}

// Stands in for a population: the per-slot accessors the observers use.
struct FakePopulation {
    std::vector<int32_t> strategy;
    std::vector<int32_t> age;
    int32_t getNumAgents() const { return static_cast<int32_t>(strategy.size()); }
    int32_t playedStrategyOf(int32_t slot) const { return strategy[static_cast<size_t>(slot)]; }
    int32_t ageOf(int32_t slot) const { return age[static_cast<size_t>(slot)]; }
};

TEST(FrozenAgents, CountsAgentsThatNeverSwitchAmongThoseAliveThroughTheWindow)
{
    // Window of 3 rounds: started before the first, checked before the other two.
    FakePopulation town{{4, 2, 7, 1, 5}, {5, 0, 5, 5, 5}};
    FrozenAgents frozen;
    EXPECT_FALSE(frozen.fraction(town, 0, true)) << "before the window";
    frozen.start(town);
    EXPECT_DOUBLE_EQ(*frozen.fraction(town, 0, true), 1.0) << "nobody has switched yet";

    town.strategy[1] = 3;  // switches
    town.age = {6, 1, 6, 6, 6};
    frozen.check(town);
    town.strategy[1] = 2;  // switching back does not undo it
    town.strategy[2] = 0;  // a newborn in slot 2, born in the window's second round
    town.age = {7, 2, 0, 7, 7};
    frozen.check(town);
    town.strategy[3] = 9;  // chosen after the last round: not a switch within it
    town.age = {8, 3, 1, 8, 0};  // slot 4 renewed in the last round
    // Slots 2 and 4 are younger than the window: not counted. Of 0, 1 and 3,
    // only 1 switched.
    EXPECT_DOUBLE_EQ(*frozen.fraction(town, 3, true), 2.0 / 3);
    EXPECT_DOUBLE_EQ(*frozen.fraction(town, 3, false), 3.0 / 5) << "without mortality everyone counts";
}

TEST(FrozenAgents, NeverSwitchingIsAllFrozenAndNoSurvivorIsNull)
{
    FakePopulation town{{1, 1, 1}, {0, 0, 0}};
    FrozenAgents frozen;
    frozen.start(town);
    for (int round = 0; round < 5; ++round) frozen.check(town);
    EXPECT_DOUBLE_EQ(*frozen.fraction(town, 6, false), 1.0);
    EXPECT_FALSE(frozen.fraction(town, 6, true)) << "0 agents alive through the window";
}

} // namespace
