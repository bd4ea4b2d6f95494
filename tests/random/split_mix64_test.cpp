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

} // namespace
