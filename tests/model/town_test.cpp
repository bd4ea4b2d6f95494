#include "model/town.h"

#include <gtest/gtest.h>
#include <numeric>

#include "model/round_rules.h"
#include "random/glibc_random.h"
#include "random/ziggurat.h"

namespace {

using dramolex::model::Agent;
using dramolex::model::pass_graph;
using dramolex::model::Strategy;
using dramolex::model::Town;
using dramolex::random::GlibcRandom;
using dramolex::random::Ziggurat;

int countGrouped(const Town& town)
{
    int n = 0;
    for (const Agent& a : town.agents()) n += a.getGroupIndex() != -1;
    return n;
}

TEST(TownConstruction, DrawsStrategiesThenGrouperChoiceThenGroupPerAgent)
{
    const uint32_t seed = 31337;
    Ziggurat normal;
    const Town town(40, 30, -1, 4, seed, normal);
    GlibcRandom mirror(seed);
    int grouped = 0;
    const int quota = 40 * 30 / 100;
    for (int i = 0; i < 40; ++i) {
        for (int s = 0; s < 10; ++s) {
            const Strategy expected(mirror);
            ASSERT_EQ(town.agents()[i].strategy(s).decisions(), expected.decisions());
        }
        const int r = mirror.rand() % 100;
        int group = -1;
        if (r < 30 && grouped < quota) {
            group = mirror.rand() % 4;
            ++grouped;
        }
        EXPECT_EQ(town.agents()[i].getGroupIndex(), group) << "agent " << i;
    }
    size_t members = 0;
    for (const auto& g : town.groups()) {
        for (int m : g.getMembers()) EXPECT_EQ(town.agents()[m].getGroupIndex(), &g - town.groups().data());
        members += g.getMembers().size();
    }
    EXPECT_EQ(members, static_cast<size_t>(grouped));
}

TEST(TownConstruction, GrouperQuota)
{
    struct Case {
        int agents, percent, groups, expectedMax, expectedMin;
    };
    const Case cases[] = {
        {50, 0, 3, 0, 0},     // nobody grouped
        {50, 100, 3, 50, 50}, // everybody grouped
        {10, 5, 2, 0, 0},     // quota 50 / 100 = 0
        {10, 50, 2, 5, 0},    // at most the quota
        {200, 50, 1, 100, 60},
    };
    for (const Case& c : cases) {
        for (uint32_t seed : {1u, 2u, 3u, 4u}) {
            Ziggurat normal;
            const Town town(c.agents, c.percent, -1, c.groups, seed, normal);
            const int grouped = countGrouped(town);
            EXPECT_LE(grouped, c.expectedMax) << c.agents << "/" << c.percent;
            EXPECT_GE(grouped, c.expectedMin) << c.agents << "/" << c.percent;
        }
    }
}

TEST(TownConstruction, MortalAgentsDrawTheirLifeSpansFromTheNormalGenerator)
{
    Ziggurat normal;
    const Town town(10, 0, 50, 1, 9, normal);
    const int expected[] = {59, 47, 47, 47, 50, 51, 57, 51, 56, 50};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(town.agents()[i].getLifeSpan(), expected[i]);
}

TEST(TownRound, TheSameRecordIsReturnedAndRewritten)
{
    Ziggurat normal;
    Town town(101, 0, -1, 1, 5, normal);
    const pass_graph& first = town.turn();
    const pass_graph& second = town.turn();
    EXPECT_EQ(&first, &second);
}

TEST(TownRound, ReportInvariantsHoldEveryRound)
{
    struct Case {
        int agents, percent, avgAge, groups;
    };
    const Case cases[] = {{101, 0, -1, 1}, {100, 40, -1, 5}, {99, 100, 30, 3}, {60, 50, 1, 2}, {64, 25, 100, 1}, {1, 0, 5, 1}};
    for (const Case& c : cases) {
        Ziggurat normal;
        Town town(c.agents, c.percent, c.avgAge, c.groups, 77, normal);
        std::array<int, 3> results{};
        for (int round = 0; round < 300; ++round) {
            const int expectedSti = results[0] + 2 * results[1] + 4 * results[2];
            const pass_graph& t = town.turn();
            ASSERT_EQ(town.getSti(), expectedSti);
            results = {t.result, results[0], results[1]};
            ASSERT_EQ(town.getHistory()[0], t.result);

            ASSERT_GE(t.numWinners, 0);
            ASSERT_LE(t.numWinners, c.agents / 2);
            ASSERT_EQ(t.numWinners, t.result == 1 ? t.attendance : c.agents - t.attendance);
            ASSERT_GE(t.bestStratScore, 100.0);
            if (c.groups == 1) {
                ASSERT_EQ(t.capitalGap, 0);
            }
            const int ages = std::accumulate(t.ageDist.begin(), t.ageDist.end(), 0);
            if (c.avgAge == -1) {
                ASSERT_EQ(t.numDeaths, 0);
                ASSERT_EQ(ages, 0);
            } else {
                ASSERT_EQ(ages, c.agents);
                ASSERT_EQ(t.ageDist[100], 0);
                int newborns = 0;
                for (const Agent& a : town.agents()) newborns += a.getAge() == 0;
                ASSERT_EQ(t.numDeaths, newborns);
                ASSERT_EQ(t.ageDist[0], newborns);
            }
        }
    }
}

TEST(TownRound, ALoneAgentLosesEveryRound)
{
    Ziggurat normal;
    Town town(1, 0, -1, 1, 3, normal);
    for (int round = 0; round < 50; ++round) EXPECT_EQ(town.turn().numWinners, 0);
    EXPECT_EQ(town.agents()[0].getCapital(), 50);
}

TEST(TownRound, NewbornsJoinNoGroupWhileMemberListsKeepTheirLength)
{
    Ziggurat normal;
    Town town(30, 20, 1, 2, 8, normal);
    for (int round = 0; round < 12; ++round) town.turn();
    size_t members = 0;
    for (const auto& g : town.groups()) members += g.getMembers().size();
    EXPECT_EQ(members, 6u);
    EXPECT_LT(countGrouped(town), 6);
}

TEST(TownRound, SameSeedSameRun)
{
    auto play = [](uint32_t seed) {
        Ziggurat normal;
        Town town(201, 60, 40, 4, seed, normal);
        std::vector<int> trace;
        for (int round = 0; round < 200; ++round) {
            const pass_graph& t = town.turn();
            trace.push_back(t.attendance);
            trace.push_back(t.capitalGap);
            trace.push_back(t.numDeaths);
        }
        return trace;
    };
    EXPECT_EQ(play(42), play(42));
    EXPECT_NE(play(42), play(43));
}

TEST(TownRound, WithoutGroupersHerdingDrawsNothing)
{
    // Without groupers or replacements, no round draws from the uniform source;
    // a copy of the agents making their own choices predicts every attendance.
    Ziggurat normal;
    Town town(51, 0, -1, 3, 12, normal);
    for (int round = 0; round < 20; ++round) {
        std::vector<Agent> agents(town.agents().begin(), town.agents().end());
        int sideOne = 0;
        for (Agent& a : agents) {
            a.makeOwnDecision(dramolex::model::rules::historyIndex(town.getHistory()));
            sideOne += a.getDecision();
        }
        EXPECT_EQ(town.turn().attendance, sideOne);
    }
}

} // namespace
