#include "charts/chart_views.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

#include "charts/pie_chart.h"
#include "charts/png_writer.h"
#include "charts/series_chart.h"

using namespace dramolex::charts;

class ChartViewsTest : public QObject {
    Q_OBJECT

    std::vector<double> history = std::vector<double>(8560, 0.0);

    static int colouredPixels(const QImage& image, QRgb colour, int tolerance = 40)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                        std::abs(qBlue(p) - qBlue(colour)) < tolerance)
                    ++n;
            }
        return n;
    }

    // Pixels in which one channel (0 red, 1 green, 2 blue) clearly leads: the
    // anti-aliased dark red line and the blue trend line.
    static int dominated(const QImage& image, int channel)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
                if (c[channel] > c[(channel + 1) % 3] + 60 && c[channel] > c[(channel + 2) % 3] + 60) ++n;
            }
        return n;
    }

private slots:
    void initTestCase()
    {
        for (int i = 0; i < 1000; ++i) {
            history[static_cast<size_t>(i)] = (i % 7) - 3;
            history[static_cast<size_t>(1000 + i)] = 400 + (i % 50);
            history[static_cast<size_t>(2000 + i)] = 100 + i / 100.0;
            history[static_cast<size_t>(3000 + i)] = 110 + i / 10.0;
            history[static_cast<size_t>(4000 + i)] = i % 5;
        }
        for (int a = 0; a < 100; ++a) history[static_cast<size_t>(5000 + a)] = a < 50 ? 20 : 0;
    }

    void everyViewIs480By480WithItsLayers()
    {
        for (const ChartView& view : allViews()) {
            const QImage image = renderView(view, history);
            QCOMPARE(image.size(), QSize(480, 480));
            if (view.selection == 5) continue;
            QVERIFY2(dominated(image, 0) > 300, view.name);
            const bool blueTrend = view.selection == 1 || view.selection == 2;
            QCOMPARE(dominated(image, 2) > 300, blueTrend);
        }
    }

    void thePieIsLavenderAndEmptyWithoutSectors()
    {
        const QImage image = renderView(*viewFor(5), history, 0);
        QCOMPARE(image.size(), QSize(480, 480));
        QVERIFY(colouredPixels(image, qRgb(0xDD, 0xDD, 0xFF), 6) > 480 * 470);
        std::vector<double> withBars = history;
        withBars[6000] = 5;
        withBars[6001] = 3;
        const QImage pie = renderView(*viewFor(5), withBars, 2);
        QVERIFY(colouredPixels(pie, qRgb(0xDD, 0xDD, 0xFF), 6) < 480 * 430);
    }

    void selectorIndicesMapToViews()
    {
        QVERIFY(viewFor(0) == nullptr);
        QVERIFY(viewFor(-1) == nullptr);
        QCOMPARE(QString::fromLatin1(viewFor(6)->fileName), QStringLiteral("numdeaths.png"));
        QCOMPARE(viewFor(7)->size, 100);
        QCOMPARE(sectorLabel(0), QStringLiteral("Home"));
        QCOMPARE(sectorLabel(1), QStringLiteral("Bar 1"));
        QCOMPARE(sectorLabel(255), QStringLiteral("Bar 255"));
    }

    void trendIsTheLeastSquaresLine()
    {
        const std::vector<double> line{1, 3, 5, 7};
        const TrendLine fit = fitTrend(line);
        QCOMPARE(fit.intercept, 1.0);
        QCOMPARE(fit.slope, 2.0);
        const std::vector<double> one{4};
        QCOMPARE(fitTrend(one).intercept, 4.0);
        QCOMPARE(fitTrend(one).slope, 0.0);
    }

    void pngRoundTripsAndReportsFailures()
    {
        QTemporaryDir dir;
        const QImage image = renderView(*viewFor(3), history);
        const QString path = dir.filePath(QStringLiteral("chart.png"));
        QCOMPARE(writePng(image, path), QString());
        const QImage back(path);
        QCOMPARE(back.convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
        QVERIFY(!QFile::exists(path + QStringLiteral(".part")));

        const QString bad = dir.filePath(QStringLiteral("missing/chart.png"));
        QCOMPARE(writePng(image, bad), bad + QStringLiteral(": No such file or directory"));
    }

    // Each view draws its own window of the buffer with its own layers: the
    // image equals a chart drawn straight from that window. Every window
    // holds a differently shaped series, so a view reading another window
    // (or drawing other layers) makes another picture.
    void eachViewDrawsItsOwnWindow_data()
    {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("layers");
        QTest::addColumn<QString>("file");
        const int line = static_cast<int>(SeriesLayers::Line);
        const int trend = static_cast<int>(SeriesLayers::LineAndBlueTrend);
        const int scatter = static_cast<int>(SeriesLayers::ScatterAndRedTrend);
        QTest::newRow("winningbars") << 1 << "AvgCapital of Groupers - AvgCapital of NonGroupers" << 0 << 1000 << trend
                                     << "winningbars.png";
        QTest::newRow("winners") << 2 << "Number of Winners" << 1000 << 1000 << trend << "winners.png";
        QTest::newRow("avgstratscores") << 3 << "Average Score of All Strategies" << 2000 << 1000 << line
                                        << "avgstratscores.png";
        QTest::newRow("beststrat") << 4 << "Best Strategy's Score" << 3000 << 1000 << line << "beststrat.png";
        QTest::newRow("numdeaths") << 6 << "Number of Deaths" << 4000 << 1000 << scatter << "numdeaths.png";
        QTest::newRow("agedist") << 7 << "Age Distribution" << 5000 << 100 << line << "agedist.png";
    }
    void eachViewDrawsItsOwnWindow()
    {
        QFETCH(int, selection);
        QFETCH(QString, title);
        QFETCH(int, first);
        QFETCH(int, size);
        QFETCH(int, layers);
        QFETCH(QString, file);
        const ChartView* view = viewFor(selection);
        QVERIFY(view != nullptr);
        QCOMPARE(QString::fromLatin1(view->fileName), file);
        QCOMPARE(view->firstIndex, first);
        QCOMPARE(view->size, size);
        const std::span<const double> all(history);
        const QImage expected = renderSeries(title, all.subspan(static_cast<size_t>(first), static_cast<size_t>(size)),
                                             static_cast<SeriesLayers>(layers));
        QVERIFY(renderView(*view, history) == expected);
        // The same view of a buffer whose other windows differ draws the same picture.
        std::vector<double> others(8560, 7.0);
        std::copy_n(history.begin() + first, size, others.begin() + first);
        QVERIFY(renderView(*view, others) == expected);
    }

    void thePieDrawsTheRunningTotals()
    {
        std::vector<double> withBars = history;
        withBars[6000] = 5;
        withBars[6001] = 3;
        withBars[6002] = 1;
        const std::span<const double> all(withBars);
        QVERIFY(renderView(*viewFor(5), withBars, 3) == renderPie(all.subspan(6000, 3)));
        QVERIFY(renderView(*viewFor(5), withBars, 3) != renderPie(all.subspan(6000, 2)));
    }
};

QTEST_MAIN(ChartViewsTest)
#include "chart_views_test.moc"
