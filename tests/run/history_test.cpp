#include "run/history.h"

#include <gtest/gtest.h>

namespace {

using dramolex::model::pass_graph;
using dramolex::run::History;

pass_graph roundReport(int64_t round, int winners)
{
    pass_graph t;
    t.capitalGap = static_cast<int>(-round);
    t.numWinners = winners;
    t.avgStratScore = 100.0 + static_cast<double>(round) / 4;
    t.bestStratScore = 200.0 + static_cast<double>(round);
    t.numDeaths = static_cast<int>(round % 7);
    for (int a = 0; a < 101; ++a) t.ageDist[a] = static_cast<int>(round + a);
    t.barDist[0] = 3;
    return t;
}

TEST(History, RoundsBeforeThousandFillTheirPositionAndLeaveTheRestZero)
{
    History h;
    for (int64_t r = 0; r < 400; ++r) h.record(r, roundReport(r, static_cast<int>(r % 50) + 1));
    EXPECT_EQ(h.at(History::capitalGapStart + 0), 0.0);
    EXPECT_EQ(h.at(History::capitalGapStart + 399), -399.0);
    EXPECT_EQ(h.at(History::winnersStart + 10), 11.0);
    EXPECT_EQ(h.at(History::avgScoreStart + 2), 100.5);
    EXPECT_EQ(h.at(History::bestScoreStart + 399), 599.0);
    EXPECT_EQ(h.at(History::deathsStart + 8), 1.0);
    for (int k = 0; k < 5; ++k) {
        for (int p = 400; p < 1000; ++p) ASSERT_EQ(h.at(k * 1000 + p), 0.0) << k << " " << p;
    }
    EXPECT_EQ(h.at(History::ageStart + 0), 399.0);
    EXPECT_EQ(h.at(History::ageStart + 99), 498.0);
    EXPECT_EQ(h.at(History::ageStart + 100), 0.0) << "entry 100 of the ages is not recorded";
    EXPECT_EQ(h.at(History::barStart), 1200.0) << "running sum of venue 0";
    EXPECT_EQ(h.at(History::barStart + 1), 0.0) << "only entries 0 to numbars";
}

TEST(History, ZeroWinnersRepeatThePreviousValueUntilRoundThousand)
{
    History h;
    h.record(0, roundReport(0, 0));
    EXPECT_EQ(h.at(History::winnersStart), 0.0);
    h.record(1, roundReport(1, 17));
    h.record(2, roundReport(2, 0));
    h.record(3, roundReport(3, 0));
    EXPECT_EQ(h.at(History::winnersStart + 2), 17.0);
    EXPECT_EQ(h.at(History::winnersStart + 3), 17.0);
    for (int64_t r = 4; r < 1000; ++r) h.record(r, roundReport(r, 5));
    h.record(1000, roundReport(1000, 0));
    EXPECT_EQ(h.at(History::winnersStart + 999), 0.0) << "stored unchanged from round 1000";
}

TEST(History, FromRoundThousandTheWindowsShift)
{
    History h;
    for (int64_t r = 0; r <= 1000; ++r) h.record(r, roundReport(r, 1));
    EXPECT_EQ(h.at(History::capitalGapStart + 0), -1.0) << "position 0 holds round 1";
    EXPECT_EQ(h.at(History::capitalGapStart + 999), -1000.0) << "position 999 holds round 1000";
    EXPECT_EQ(h.at(History::bestScoreStart + 998), 1199.0);
    for (int64_t r = 1001; r < 2500; ++r) h.record(r, roundReport(r, 1));
    EXPECT_EQ(h.at(History::capitalGapStart + 0), -1500.0);
    EXPECT_EQ(h.at(History::deathsStart + 999), static_cast<double>(2499 % 7));
}

TEST(History, DataxHoldsThePositions)
{
    const auto& x = History::datax();
    EXPECT_EQ(x[0], 0.0);
    EXPECT_EQ(x[999], 999.0);
}

} // namespace
