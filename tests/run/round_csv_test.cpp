#include "run/round_csv.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using dramolex::model::pass_graph;

pass_graph report(int32_t gap, int32_t winners, double average, double best, int32_t deaths, int32_t attendance,
                  int32_t result)
{
    pass_graph r;
    r.capitalGap = gap;
    r.numWinners = winners;
    r.avgStratScore = average;
    r.bestStratScore = best;
    r.numDeaths = deaths;
    r.attendance = attendance;
    r.result = result;
    return r;
}

// Every field differs from every other, so a swapped pair of columns shows.
TEST(RoundCsv, EachColumnHoldsItsOwnField)
{
    struct Case {
        int64_t round;
        pass_graph report;
        const char* line;
    };
    const Case cases[] = {
        {0, report(-3, 7, 101.33333333333333, 115.0, 2, 12, 1), "0,-3,7,101.33333333333333,115,2,12,1\n"},
        {5000000000, report(41, 9, 100.5, 98.25, 0, 18, 0), "5000000000,41,9,100.5,98.25,0,18,0\n"},
        {17, report(0, 0, 1e-7, 2.5e20, 6, 3, 0), "17,0,0,1e-07,2.5e+20,6,3,0\n"},
    };
    for (const Case& c : cases) {
        std::string line;
        dramolex::run::appendCsvRow(line, c.round, c.report);
        EXPECT_EQ(line, c.line);
    }
    std::string header;
    dramolex::run::appendCsvHeader(header);
    EXPECT_EQ(header, "round,capital_gap,winners,avg_strategy_score,best_strategy_score,deaths,attendance,result\n");
}

TEST(RoundCsv, RowsAppendToWhatIsThere)
{
    std::string text = "x\n";
    dramolex::run::appendCsvRow(text, 1, report(1, 2, 3.5, 4.5, 5, 6, 1));
    EXPECT_EQ(text, "x\n1,1,2,3.5,4.5,5,6,1\n");
}

} // namespace
