#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/round_report.h"
#include "run/series.h"

namespace dramolex::run {

// The history buffer that the chart views draw from: five series windows of
// the latest 1000 rounds, the latest age counts and the running venue sums,
// at fixed positions of one array of 8560 doubles.
class History {
public:
    static constexpr int32_t windowLength = 1000;
    static constexpr int32_t seriesCount = 5;
    static constexpr int32_t capitalGapStart = statisticsTable[0]->firstIndex;
    static constexpr int32_t winnersStart = statisticsTable[1]->firstIndex;
    static constexpr int32_t avgScoreStart = statisticsTable[2]->firstIndex;
    static constexpr int32_t bestScoreStart = statisticsTable[3]->firstIndex;
    static constexpr int32_t deathsStart = statisticsTable[4]->firstIndex;
    static constexpr int32_t ageStart = seriesTable[6].firstIndex;
    static constexpr int32_t ageLength = 100;
    static constexpr int32_t barStart = seriesTable[4].firstIndex;
    static constexpr int32_t totalLength = 8560;

    // Folds the report of round `turn` in. numbars is the last venue entry
    // added to the running sums.
    void record(int64_t turn, const model::pass_graph& t, int32_t numbars = 0);

    std::span<const double, totalLength> ultimategraph() const { return values_; }
    double at(int32_t index) const { return values_[static_cast<size_t>(index)]; }

    // x positions 0.0 .. 999.0 for the series views.
    static const std::array<double, windowLength>& datax();

private:
    std::array<double, totalLength> values_{};
};

} // namespace dramolex::run
