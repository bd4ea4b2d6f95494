#include "charts/chart_image.h"

#include <QChart>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QPainter>

#include "charts/chart_views.h"

namespace dramolex::charts {

QImage paintChart(std::unique_ptr<QChart> chart, const QString& title, const std::function<void(QPainter&)>& overlay)
{
    // The chart leaves its background unpainted when it has nothing to
    // draw, so the image starts in the background's colour.
    const QColor background = chart->backgroundBrush().color();
    QGraphicsScene scene;
    QChart* painted = chart.release();
    scene.addItem(painted);  // the scene owns the chart from here on
    painted->setGeometry(0, 0, chartWidth, chartHeight);
    // The chart places its title and axes in response to posted layout
    // requests; deliver them now instead of from an event loop.
    QCoreApplication::sendPostedEvents(painted);
    QCoreApplication::sendPostedEvents(&scene);

    QImage image(chartWidth, chartHeight, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    // Crisp one-pixel lines, like the charts this program has always drawn, and
    // a third of the encoding time: far fewer distinct colours to compress.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    scene.render(&painter, QRectF(0, 0, chartWidth, chartHeight), QRectF(0, 0, chartWidth, chartHeight));
    if (overlay) overlay(painter);
    if (!title.isEmpty()) {
        QFont font = painter.font();
        font.setPointSizeF(12);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, 0, chartWidth, 30), Qt::AlignCenter, title);
    }
    return image;
}

} // namespace dramolex::charts
