#include "charts/chart_views.h"

#include "charts/pie_chart.h"
#include "charts/series_chart.h"

namespace dramolex::charts {

std::span<const ChartView> allViews() { return run::allSeries(); }

const ChartView* viewFor(int32_t selection) { return run::seriesForSelection(selection); }

QString sectorLabel(int index)
{
    return index == 0 ? QStringLiteral("Home") : QStringLiteral("Bar %1").arg(index);
}

QImage renderView(const ChartView& view, std::span<const double> history, int32_t numbars)
{
    if (view.selection == 5) return renderPie(history.subspan(static_cast<size_t>(view.firstIndex), static_cast<size_t>(numbars)));
    SeriesLayers layers = SeriesLayers::Line;
    if (view.selection == 1 || view.selection == 2) layers = SeriesLayers::LineAndBlueTrend;
    if (view.selection == 6) layers = SeriesLayers::ScatterAndRedTrend;
    return renderSeries(QString::fromUtf8(view.title), history.subspan(static_cast<size_t>(view.firstIndex), static_cast<size_t>(view.size)), layers);
}

} // namespace dramolex::charts
