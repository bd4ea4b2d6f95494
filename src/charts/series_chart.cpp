#include "charts/series_chart.h"

#include <QChart>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <memory>

#include "charts/chart_image.h"

namespace dramolex::charts {
namespace {

const QColor darkRed(0xCC, 0x00, 0x00);
const QColor trendBlue(0x00, 0x00, 0xFF);
const QColor gridGrey(0xC0, 0xC0, 0xC0);

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

    // Qt Charts draws the frame, grid and axes. The data layers are painted
    // straight onto the image in the same coordinates: Qt Charts' series
    // items build hover shapes for every segment, which cost several times
    // the drawing itself.
    const QRectF plot(45, 30, 400, 400);
    const double xLow = xAxis->min(), xSpan = xAxis->max() - xAxis->min();
    const double yLow = yAxis->min(), ySpan = yAxis->max() - yAxis->min();
    auto at = [&](double position, double value) {
        return QPointF(plot.left() + (position - xLow) / xSpan * plot.width(),
                       plot.bottom() - (value - yLow) / ySpan * plot.height());
    };
    auto overlay = [&](QPainter& painter) {
        painter.save();
        painter.setClipRect(plot.adjusted(-6, -6, 6, 6));
        QPolygonF polyline;
        polyline.reserve(static_cast<qsizetype>(values.size()));
        for (size_t i = 0; i < values.size(); ++i) polyline.append(at(static_cast<double>(i), values[i]));
        if (layers == SeriesLayers::ScatterAndRedTrend) {
            // "# Deaths": diamonds of size 10, filled dark red, no edge.
            painter.setPen(Qt::NoPen);
            painter.setBrush(darkRed);
            for (const QPointF& p : polyline) {
                const QPointF diamond[4] = {p + QPointF(0, -5), p + QPointF(5, 0), p + QPointF(0, 5), p + QPointF(-5, 0)};
                painter.drawConvexPolygon(diamond, 4);
            }
        } else {
            painter.setPen(QPen(darkRed, 1));
            painter.drawPolyline(polyline);
        }
        if (layers != SeriesLayers::Line && !values.empty()) {
            const TrendLine fit = fitTrend(values);
            const double last = static_cast<double>(values.size() - 1);
            QPen pen(layers == SeriesLayers::ScatterAndRedTrend ? darkRed : trendBlue);
            pen.setWidth(3);
            painter.setPen(pen);
            painter.drawLine(at(0.0, fit.intercept), at(last, fit.intercept + fit.slope * last));
        }
        painter.restore();
    };
    return paintChart(std::move(chart), title, overlay);
}

} // namespace dramolex::charts
