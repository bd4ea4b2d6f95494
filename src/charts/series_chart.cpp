#include "charts/series_chart.h"

#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <memory>

#include "charts/chart_image.h"

namespace dramolex::charts {
namespace {

const QColor darkRed(0xCC, 0x00, 0x00);
const QColor trendBlue(0x00, 0x00, 0xFF);
const QColor gridGrey(0xC0, 0xC0, 0xC0);

QList<QPointF> points(std::span<const double> values)
{
    QList<QPointF> out;
    out.reserve(static_cast<qsizetype>(values.size()));
    for (size_t i = 0; i < values.size(); ++i) out.append(QPointF(static_cast<double>(i), values[i]));
    return out;
}

std::unique_ptr<QLineSeries> trendSeries(std::span<const double> values, const QColor& colour)
{
    auto trend = std::make_unique<QLineSeries>();
    const TrendLine fit = fitTrend(values);
    const double last = values.empty() ? 0.0 : static_cast<double>(values.size() - 1);
    trend->append(0.0, fit.intercept);
    trend->append(last, fit.intercept + fit.slope * last);
    QPen pen(colour);
    pen.setWidth(3);
    trend->setPen(pen);
    return trend;
}

} // namespace

TrendLine fitTrend(std::span<const double> values)
{
    const double n = static_cast<double>(values.size());
    if (values.empty()) return {0.0, 0.0};
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const double x = static_cast<double>(i);
        sx += x;
        sy += values[i];
        sxx += x * x;
        sxy += x * values[i];
    }
    const double denominator = n * sxx - sx * sx;
    if (values.size() < 2 || denominator == 0.0) return {sy / n, 0.0};
    const double slope = (n * sxy - sx * sy) / denominator;
    return {(sy - slope * sx) / n, slope};
}

QImage renderSeries(const QString& title, std::span<const double> values, SeriesLayers layers)
{
    auto chart = std::make_unique<QChart>();
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundPen(Qt::NoPen);
    chart->setMargins(QMargins(0, 0, 0, 0));
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setPlotArea(QRectF(45, 30, 400, 400));
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundPen(QPen(Qt::white));
    chart->setPlotAreaBackgroundVisible(true);

    auto x = std::make_unique<QValueAxis>();
    auto y = std::make_unique<QValueAxis>();
    x->setGridLineVisible(false);
    y->setGridLineColor(gridGrey);
    x->setLabelFormat("%.0f");
    x->setRange(0, std::max<double>(1.0, static_cast<double>(values.size())));
    x->setTickCount(values.size() > 100 ? 6 : 5);
    double low = values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
    double high = values.empty() ? 1.0 : *std::max_element(values.begin(), values.end());
    if (high - low < 1e-9) {
        low -= 1.0;
        high += 1.0;
    }
    y->setRange(low, high);
    y->applyNiceNumbers();
    y->setLabelFormat("%g");
    QValueAxis* xAxis = x.get();
    QValueAxis* yAxis = y.get();
    chart->addAxis(x.release(), Qt::AlignBottom);
    chart->addAxis(y.release(), Qt::AlignLeft);

    auto attach = [&](auto series) {
        auto* s = series.release();
        chart->addSeries(s);  // the chart owns its series
        s->attachAxis(xAxis);
        s->attachAxis(yAxis);
    };

    if (layers == SeriesLayers::ScatterAndRedTrend) {
        auto deaths = std::make_unique<QScatterSeries>();
        deaths->setName(QStringLiteral("# Deaths"));
        deaths->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
        deaths->setMarkerSize(10);
        deaths->setColor(darkRed);
        deaths->setBorderColor(Qt::transparent);
        deaths->replace(points(values));
        attach(std::move(deaths));
        attach(trendSeries(values, darkRed));
    } else {
        auto line = std::make_unique<QLineSeries>();
        line->setPen(QPen(darkRed, 1));
        line->replace(points(values));
        attach(std::move(line));
        if (layers == SeriesLayers::LineAndBlueTrend) attach(trendSeries(values, trendBlue));
    }
    return paintChart(std::move(chart), title);
}

} // namespace dramolex::charts
