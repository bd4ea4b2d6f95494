#include "random/split_mix64.h"

#include <gtest/gtest.h>

#include "random/ziggurat.h"

namespace {

using dramolex::random::splitMix64;
using dramolex::random::Ziggurat;

TEST(SplitMix64, KnownOutputs)
{
    // The first outputs of the reference generator started from 0 and 1234567.
    static_assert(splitMix64(0) == 0xE220A8397B1DCDAFull);
    EXPECT_EQ(splitMix64(1234567), 6457827717110365317ull);
}

TEST(Ziggurat, ARunsGeneratorStartsFromTheLowBitsOfItsSeedsSplitMix)
{
    for (uint32_t seed : {0u, 1u, 42u, 4294967295u}) {
        EXPECT_EQ(Ziggurat::seededFor(seed).state(), static_cast<uint32_t>(splitMix64(seed))) << seed;
    }
    EXPECT_NE(Ziggurat::seededFor(1).state(), Ziggurat::seededFor(2).state());
    EXPECT_EQ(Ziggurat{}.state(), 123456789u) << "the process-wide start";
}

// The shared generator folds the life-span seed into its state at every agent;
// a run's own generator must not, or every seed would end on the shared
// generator's short cycle.
TEST(Ziggurat, OnlyTheSharedGeneratorFoldsTheLifeSpanSeedIntoItsState)
{
    Ziggurat own = Ziggurat::seededFor(5);
    const uint32_t before = own.state();
    own.zigset(1684623u);
    EXPECT_EQ(own.state(), before);
    EXPECT_GT(own.tables().kn[0], 0u) << "the tables are ready all the same";

    Ziggurat shared;
    shared.zigset(1684623u);
    EXPECT_EQ(shared.state(), 123456789u ^ 1684623u);
}

} // namespace
