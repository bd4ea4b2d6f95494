// Populations with seeded life spans share no state, so each may play on a
// thread of its own and play exactly as it would alone.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "model/model_options.h"
#include "model/town.h"

namespace {

using dramolex::model::ModelOptions;
using dramolex::model::Town;

std::vector<int> play(uint32_t seed)
{
    ModelOptions options;
    options.lifespans = dramolex::model::LifeSpans::seeded;
    Town town(300, 40, 20, 3, seed, options);
    std::vector<int> trace;
    for (int round = 0; round < 150; ++round) {
        const auto& report = town.turn();
        trace.push_back(report.attendance);
        trace.push_back(report.numDeaths);
    }
    return trace;
}

TEST(SeededTowns, PlayOnTwoThreadsAsTheyDoAlone)
{
    const std::vector<int> aloneA = play(1), aloneB = play(2);
    std::vector<int> threadA, threadB;
    std::thread a([&] { threadA = play(1); });
    std::thread b([&] { threadB = play(2); });
    a.join();
    b.join();
    EXPECT_EQ(threadA, aloneA);
    EXPECT_EQ(threadB, aloneB);
    EXPECT_NE(aloneA, aloneB);
}

} // namespace
