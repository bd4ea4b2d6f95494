#include "charts/chart_views.h"

#include "charts/pie_chart.h"
#include "charts/series_chart.h"

namespace dramolex::charts {
namespace {

constexpr ChartView views[] = {
    {1, "winningbars", "AvgCapital of Groupers - AvgCapital of NonGroupers", "winningbars.png", 0, 1000},
    {2, "winners", "Number of Winners", "winners.png", 1000, 1000},
    {3, "avgstratscores", "Average Score of All Strategies", "avgstratscores.png", 2000, 1000},
    {4, "beststrat", "Best Strategy's Score", "beststrat.png", 3000, 1000},
    {5, "bardist", "", "bardist.png", 6000, 0},
    {6, "numdeaths", "Number of Deaths", "numdeaths.png", 4000, 1000},
    {7, "agedist", "Age Distribution", "agedist.png", 5000, 100},
};

} // namespace

std::span<const ChartView> allViews() { return views; }

const ChartView* viewFor(int32_t selection)
{
    for (const ChartView& v : views) {
        if (v.selection == selection) return &v;
    }
    return nullptr;
}

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
