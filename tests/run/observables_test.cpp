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
    FakePopulation town{{4, 2, 7, 1}, {5, 5, 5, 5}};
    FrozenAgents frozen;
    EXPECT_FALSE(frozen.fraction()) << "before the window";
    frozen.start(town);
    EXPECT_DOUBLE_EQ(*frozen.fraction(), 1.0) << "nobody has switched yet";

    town.strategy[1] = 3;  // switches
    town.age = {6, 6, 6, 6};
    frozen.check(town, true);
    town.strategy[1] = 2;  // switching back does not undo it
    town.strategy[2] = 0;
    town.age = {7, 7, 0, 7};  // slot 2 now holds a newborn: it died in the window
    frozen.check(town, true);
    EXPECT_DOUBLE_EQ(*frozen.fraction(), 2.0 / 3);

    // After the last round only deaths count: a switch then is for a round not played.
    FrozenAgents last = frozen;
    town.strategy[0] = 9;
    town.age = {0, 8, 1, 8};
    last.checkDeaths(town);
    EXPECT_DOUBLE_EQ(*last.fraction(), 1.0 / 2);
}

TEST(FrozenAgents, NeverSwitchingIsAllFrozenAndNoSurvivorIsNull)
{
    FakePopulation town{{1, 1, 1}, {0, 0, 0}};
    FrozenAgents frozen;
    frozen.start(town);
    for (int round = 0; round < 5; ++round) frozen.check(town, false);
    EXPECT_DOUBLE_EQ(*frozen.fraction(), 1.0) << "age 0 without mortality is no death";

    FrozenAgents mortal;
    mortal.start(town);
    mortal.check(town, true);
    EXPECT_FALSE(mortal.fraction()) << "0 agents alive through the window";
}

} // namespace
