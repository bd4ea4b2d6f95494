#pragma once

#include <QImage>
#include <span>

namespace dramolex::charts {

// The venue pie: 480 x 480 on lavender, centred at (240, 240) with radius
// 140, sector 0 ("Home") pulled out, one labelled sector per value.
QImage renderPie(std::span<const double> values);

} // namespace dramolex::charts
