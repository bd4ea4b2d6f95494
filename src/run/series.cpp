#include "run/series.h"

#include <array>

namespace dramolex::run {
std::span<const Series> allSeries() { return seriesTable; }

std::span<const Series* const> statisticSeries() { return statisticsTable; }

const Series* seriesForSelection(int32_t selection)
{
    for (const Series& s : seriesTable) {
        if (s.selection == selection) return &s;
    }
    return nullptr;
}

} // namespace dramolex::run
