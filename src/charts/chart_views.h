#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <span>

#include "run/series.h"

namespace dramolex::charts {

// The seven chart views, by their selector index (1 to 7): rows of the run
// layer's series table (history window, title, file name).
using ChartView = run::Series;

constexpr int32_t chartWidth = 480;
constexpr int32_t chartHeight = 480;

// The view for a selector index, or nullptr for "(N/A)" (0) and no selection (-1).
const ChartView* viewFor(int32_t selection);
std::span<const ChartView> allViews();

// Renders a view of the history buffer (8560 values) as a 480 x 480 image.
// numbars is the number of sectors the pie view draws.
QImage renderView(const ChartView& view, std::span<const double> history, int32_t numbars = 0);

// The label of pie sector i: "Home", then "Bar 1" to "Bar 255".
QString sectorLabel(int index);

} // namespace dramolex::charts
