#pragma once

#include <QImage>
#include <QString>
#include <span>

namespace dramolex::charts {

enum class SeriesLayers {
    Line,                // the values as a dark red line
    LineAndBlueTrend,    // plus a least-squares trend line, blue, 3 px
    ScatterAndRedTrend,  // "# Deaths" diamonds and a dark red trend line
};

// An XY chart of values over their positions 0 .. n-1: 480 x 480 pixels with
// a 400 x 400 plot area at (45, 30), light grey horizontal grid lines only.
QImage renderSeries(const QString& title, std::span<const double> values, SeriesLayers layers);

struct TrendLine {
    double intercept;
    double slope;
};
// Least-squares line through (i, values[i]); flat through the mean when it
// is not determined (fewer than two points).
TrendLine fitTrend(std::span<const double> values);

} // namespace dramolex::charts
