#pragma once

#include <array>
#include <cstdint>

namespace dramolex::model {

// The statistics of one round. One record per Town, overwritten every round.
struct pass_graph {
    int32_t capitalGap = 0;
    int32_t numWinners = 0;
    double avgStratScore = 0.0;
    double bestStratScore = 0.0;
    int32_t numDeaths = 0;
    // Never written by the model; kept zero so its readers see defined counts.
    std::array<uint8_t, 256> barDist{};
    std::array<int32_t, 101> ageDist{};
    // Agents on side 1 after herding, and the winning side.
    int32_t attendance = 0;
    int32_t result = 0;
};

} // namespace dramolex::model
