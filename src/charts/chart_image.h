#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <memory>

class QChart;
class QPainter;

namespace dramolex::charts {

// Lays out a chart at 480 x 480 and paints it into an image, with the title
// centred in the band above the plot area (a chart with a fixed plot area
// does not place its own title). Takes the chart because the scene that
// paints it owns and deletes it.
// The overlay, if any, paints over the rendered chart (the data layers of the
// series views).
QImage paintChart(std::unique_ptr<QChart> chart, const QString& title,
                  const std::function<void(QPainter&)>& overlay = {});

} // namespace dramolex::charts
