#include "random/ziggurat.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "model/agent.h"

namespace {

using dramolex::model::Agent;
using dramolex::random::Ziggurat;

std::vector<int> firstLifeSpans(Ziggurat& z, int avgAge, int count)
{
    std::vector<int> spans;
    for (int i = 0; i < count; ++i) {
        z.zigset(Agent::lifeSpanSeed);
        spans.push_back(Agent::lifeSpanFrom(z.rnor(), avgAge));
    }
    return spans;
}

struct LifeSpanCase {
    int avgAge;
    std::vector<int> expected;
};

class FreshProcessLifeSpans : public ::testing::TestWithParam<LifeSpanCase> {};

TEST_P(FreshProcessLifeSpans, FirstTenAgentsGetTheKnownSequence)
{
    Ziggurat fresh;
    EXPECT_EQ(firstLifeSpans(fresh, GetParam().avgAge, 10), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Averages, FreshProcessLifeSpans,
    ::testing::Values(LifeSpanCase{50, {59, 47, 47, 47, 50, 51, 57, 51, 56, 50}},
                      LifeSpanCase{100, {100, 97, 97, 97, 100, 100, 100, 100, 100, 100}},
                      LifeSpanCase{1, {10, 1, 1, 1, 1, 2, 8, 2, 7, 1}}));

TEST(Ziggurat, ASecondPopulationContinuesTheSequence)
{
    Ziggurat z;
    const auto first = firstLifeSpans(z, 50, 10);
    const auto second = firstLifeSpans(z, 50, 10);
    EXPECT_NE(first, second);
}

TEST(Ziggurat, TablesAreTheSameOnEveryZigsetAndStripOneNeverTakesTheFastPath)
{
    Ziggurat a, b;
    a.zigset(1);
    b.zigset(1684623);
    b.zigset(5);
    EXPECT_EQ(a.tables().kn, b.tables().kn);
    EXPECT_EQ(a.tables().wn, b.tables().wn);
    EXPECT_EQ(a.tables().kn[1], 0u);
    EXPECT_EQ(a.tables().fn[0], 1.0f);
}

TEST(Ziggurat, ZigsetFoldsTheSeedInsteadOfResetting)
{
    Ziggurat z;
    z.zigset(1684623);
    EXPECT_EQ(z.state(), 123456789u ^ 1684623u);
    z.zigset(1684623);
    EXPECT_EQ(z.state(), 123456789u);
}

TEST(Ziggurat, VariatesAreStandardNormal)
{
    Ziggurat z;
    z.zigset(99);
    double sum = 0, squares = 0;
    int beyondThree = 0;
    const int n = 400'000;
    for (int i = 0; i < n; ++i) {
        const double x = z.rnor();
        ASSERT_TRUE(std::isfinite(x));
        sum += x;
        squares += x * x;
        beyondThree += std::fabs(x) > 3.0;
    }
    const double mean = sum / n;
    EXPECT_NEAR(mean, 0.0, 0.01);
    EXPECT_NEAR(squares / n - mean * mean, 1.0, 0.01);
    // P(|x| > 3) = 0.0027: the tail path must be reached and be right.
    EXPECT_NEAR(beyondThree / double(n), 0.0027, 0.0006);
}

TEST(Ziggurat, UniformStaysStrictlyInsideZeroAndOne)
{
    Ziggurat z;
    for (int i = 0; i < 100'000; ++i) {
        const double u = z.uni();
        ASSERT_GT(u, 0.0);
        ASSERT_LT(u, 1.0);
    }
}

} // namespace
