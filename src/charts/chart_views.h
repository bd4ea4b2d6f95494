#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <span>

namespace dramolex::charts {

// The seven chart views, by their selector index (1 to 7).
struct ChartView {
    int32_t selection;
    const char* name;      // the view's operation name
    const char* title;     // the chart's title
    const char* fileName;  // written in the working directory
    int32_t firstIndex;    // where its values start in the history buffer
    int32_t size;          // how many values it draws (the pie: numbars)
};

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
