#pragma once

#include <QImage>
#include <QString>
#include <memory>

class QChart;

namespace dramolex::charts {

// Lays out a chart at 480 x 480 and paints it into an image, with the title
// centred in the band above the plot area (a chart with a fixed plot area
// does not place its own title). Takes the chart because the scene that
// paints it owns and deletes it.
QImage paintChart(std::unique_ptr<QChart> chart, const QString& title);

} // namespace dramolex::charts
