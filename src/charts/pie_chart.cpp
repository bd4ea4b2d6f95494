#include "charts/pie_chart.h"

#include <QChart>
#include <QPieSeries>
#include <QPieSlice>
#include <memory>

#include "charts/chart_image.h"
#include "charts/chart_views.h"

namespace dramolex::charts {

QImage renderPie(std::span<const double> values)
{
    auto chart = std::make_unique<QChart>();
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(QColor(0xDD, 0xDD, 0xFF));
    // A darker edge stands in for the raised border.
    chart->setBackgroundPen(QPen(QColor(0x99, 0x99, 0xBB), 2));
    chart->setMargins(QMargins(0, 0, 0, 0));
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setPlotArea(QRectF(240 - 140, 240 - 140, 280, 280));

    auto pie = std::make_unique<QPieSeries>();
    pie->setPieSize(1.0);
    for (size_t i = 0; i < values.size(); ++i) {
        QPieSlice* slice = pie->append(sectorLabel(static_cast<int>(i)), values[i]);
        slice->setLabelVisible(true);
        slice->setLabelPosition(QPieSlice::LabelOutside);
        slice->setBorderColor(Qt::white);
    }
    if (!pie->slices().isEmpty()) pie->slices().first()->setExploded(true);
    chart->addSeries(pie.release());
    return paintChart(std::move(chart), QString());
}

} // namespace dramolex::charts
