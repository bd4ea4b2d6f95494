#include "model/round_rules.h"

#include <gtest/gtest.h>

namespace {

namespace rules = dramolex::model::rules;

TEST(RoundRules, HistoryIndexWeighsTheMostRecentResultOne)
{
    EXPECT_EQ(rules::historyIndex({0, 0, 0}), 0);
    EXPECT_EQ(rules::historyIndex({1, 0, 1}), 5);  // results 1, 0, 1, oldest first
    EXPECT_EQ(rules::historyIndex({0, 1, 1}), 6);  // results 1, 1, 0
    EXPECT_EQ(rules::historyIndex({1, 1, 1}), 7);
}

TEST(RoundRules, TheMinorityWinsAndAnExactHalfGoesToSideOne)
{
    struct Case {
        int sideOne, agents, result, winners;
    };
    const Case cases[] = {
        {2, 4, 1, 2}, {3, 4, 0, 1}, {3, 5, 0, 2}, {2, 5, 1, 2},
        {0, 6, 1, 0},  // everybody on side 0: side 1 wins with nobody
        {6, 6, 0, 0},  // everybody on side 1
        {1, 1, 0, 0}, {0, 1, 1, 0},  // a lone agent always loses
    };
    for (const Case& c : cases) {
        const auto w = rules::decideWinner(c.sideOne, c.agents);
        EXPECT_EQ(w.result, c.result) << c.sideOne << " of " << c.agents;
        EXPECT_EQ(w.numWinners, c.winners) << c.sideOne << " of " << c.agents;
    }
}

TEST(RoundRules, CapitalGapDividesTowardZeroWithTheGroupedCountStartingAtOne)
{
    struct Case {
        const char* what;
        long long grouped;
        int groupedCount;
        long long ungrouped;
        int agents, groups, gap;
    };
    const Case cases[] = {
        {"three ungrouped, several groups", 0, 1, 299, 3, 2, -149},
        {"three ungrouped, one group", 0, 1, 299, 3, 1, 0},
        {"four ungrouped", 0, 1, 400, 4, 3, -133},
        {"all grouped: ungrouped divisor -1, sum 0", 400, 5, 0, 4, 2, 80},
        {"negative sums truncate toward zero", -7, 2, 0, 5, 2, -3},
        {"one ungrouped agent divides by one", 0, 1, 100, 1, 2, -100},
        {"sums beyond 32 bits", 16000LL * 200000, 16001, 0, 16000, 2, 199987},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rules::capitalGap(c.grouped, c.groupedCount, c.ungrouped, c.agents, c.groups), c.gap) << c.what;
    }
}

} // namespace
