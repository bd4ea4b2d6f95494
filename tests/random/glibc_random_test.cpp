#include "random/glibc_random.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using dramolex::random::GlibcRandom;

class GlibcRandomMatchesLibc : public ::testing::TestWithParam<unsigned> {};

TEST_P(GlibcRandomMatchesLibc, MillionDrawsEqualTheCLibrarysRand)
{
    const unsigned seed = GetParam();
    std::srand(seed);
    GlibcRandom ours(seed);
    for (int i = 0; i < 1'000'000; ++i) {
        const int expected = std::rand();
        ASSERT_EQ(ours.rand(), expected) << "seed " << seed << ", draw " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, GlibcRandomMatchesLibc,
                         ::testing::Values(0u, 1u, 2u, 42u, 127773u, 2147483647u, 2147483648u, 3000000000u,
                                           4294967295u, 1765456789u));

TEST(GlibcRandom, ReseedingRestartsTheSequence)
{
    GlibcRandom r(7);
    const int first = r.rand();
    r.rand();
    r.srand(7);
    EXPECT_EQ(r.rand(), first);
}

TEST(GlibcRandom, BelowReducesWithTheRemainder)
{
    GlibcRandom a(99), b(99);
    for (int k : {2, 10, 100, 7}) EXPECT_EQ(a.below(k), b.rand() % k);
}

} // namespace
