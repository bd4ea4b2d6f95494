#include "run/history.h"

#include <cstring>

namespace dramolex::run {

const std::array<double, History::windowLength>& History::datax()
{
    static const std::array<double, windowLength> positions = [] {
        std::array<double, windowLength> x{};
        for (int32_t i = 0; i < windowLength; ++i) x[static_cast<size_t>(i)] = i;
        return x;
    }();
    return positions;
}

void History::record(int64_t turn, const model::pass_graph& t, int32_t numbars)
{
    double* v = values_.data();
    for (int32_t i = 0; i <= numbars; ++i) v[barStart + i] += t.barDist[static_cast<size_t>(i)];
    for (int32_t i = 0; i < ageLength; ++i) v[ageStart + i] = t.ageDist[static_cast<size_t>(i)];

    if (turn < windowLength) {
        const auto position = static_cast<int32_t>(turn);
        for (const Series* s : statisticsTable) v[s->firstIndex + position] = s->value(t);
        // A round nobody won repeats the previous winners value in the chart.
        if (t.numWinners == 0) v[winnersStart + position] = position > 0 ? v[winnersStart + position - 1] : 0.0;
        return;
    }
    for (const Series* s : statisticsTable) {
        double* window = v + s->firstIndex;
        std::memmove(window, window + 1, sizeof(double) * (windowLength - 1));
        window[windowLength - 1] = s->value(t);
    }
}

} // namespace dramolex::run
