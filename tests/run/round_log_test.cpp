#include "run/round_log.h"

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {

using dramolex::model::pass_graph;
using namespace dramolex::run;

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

pass_graph sampleReport()
{
    pass_graph t;
    t.capitalGap = -3;
    t.numWinners = 0;
    t.avgStratScore = 304.0 / 3.0;
    t.bestStratScore = 115.0;
    t.numDeaths = 4;
    for (int a = 0; a <= 100; ++a) t.ageDist[a] = a;
    return t;
}

TEST(RoundLog, BlockBeforeRoundThousand)
{
    std::string text;
    appendRoundHeader(text, 0);
    appendRoundBody(text, 0, sampleReport());
    const auto l = lines(text);
    ASSERT_EQ(l.size(), 21u);
    EXPECT_EQ(l[0], "Round: 0");
    EXPECT_EQ(l[1], "");
    EXPECT_EQ(l[2], "People with age of index: ");
    EXPECT_EQ(l[3], "0  1  2  3  4  5  6  7  8  9  ");
    EXPECT_EQ(l[12], "90  91  92  93  94  95  96  97  98  99  ") << "entry 100 is not written";
    EXPECT_EQ(l[13], "AvgCapital of Groupers - AvgCapital of NonGroupers: -3");
    EXPECT_EQ(l[14], "Number of Winners: 0") << "the report's own value";
    EXPECT_EQ(l[15], "Average Score of All Strategies: 101.333");
    EXPECT_EQ(l[16], "Best Strategy's Score: 115");
    EXPECT_EQ(l[17], "Number of Deaths: 4");
    EXPECT_EQ(l[18], std::string(59, '-'));
    EXPECT_EQ(l[19], "");
    EXPECT_EQ(l[20], "");
    EXPECT_EQ(text.back(), '\n');
}

TEST(RoundLog, FromRoundThousandTheHeaderIsRepeated)
{
    std::string text;
    appendRoundHeader(text, 1000);
    appendRoundBody(text, 1000, sampleReport());
    const auto l = lines(text);
    ASSERT_EQ(l.size(), 23u);
    EXPECT_EQ(l[0], "Round: 1000");
    EXPECT_EQ(l[13], "Round: 1000");
    EXPECT_EQ(l[14], "");
    EXPECT_EQ(l[15], "AvgCapital of Groupers - AvgCapital of NonGroupers: -3");

    text.clear();
    appendRoundBody(text, 999, sampleReport());
    EXPECT_EQ(text.find("Round:"), std::string::npos);
}

TEST(RoundLog, MortalityOffAgeLinesAreTenZeros)
{
    std::string text;
    appendRoundBody(text, 5, pass_graph{});
    EXPECT_EQ(lines(text)[1], "0  0  0  0  0  0  0  0  0  0  ");
}

TEST(RoundLog, FloatingFormIsPrintfGWithSixDigits)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{304.0 / 3.0, "101.333"}, {115.0, "115"}, {100.5, "100.5"}, {99.99999, "100"},
                          {1234567.0, "1.23457e+06"}, {0.0001, "0.0001"}, {0.00001234, "1.234e-05"},
                          {-2.5, "-2.5"}, {0.0, "0"}, {123456.0, "123456"}};
    for (const Case& c : cases) {
        std::string out;
        appendShortFloat(out, c.value);
        EXPECT_EQ(out, c.text);
        char viaPrintf[64];
        std::snprintf(viaPrintf, sizeof viaPrintf, "%g", c.value);
        EXPECT_EQ(out, viaPrintf);
    }
}

} // namespace
