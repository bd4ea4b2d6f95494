#include "charts/chart_export.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "charts/chart_views.h"
#include "charts/png_writer.h"

namespace dramolex::charts {

QString exportAllViews(const QString& dir, std::span<const double> history)
{
    for (const ChartView& view : allViews()) {
        const QImage image = renderView(view, history);
        const QString failure = writePng(image, QDir(dir).filePath(QString::fromUtf8(view.fileName)));
        if (!failure.isEmpty()) return failure;
    }
    return {};
}

std::string exportAllViewsHeadless(const std::string& dir, std::span<const double> history)
{
    std::unique_ptr<QApplication> app;
    if (QCoreApplication::instance() == nullptr) {
        // Charts need no screen: never try to reach a display from the runner.
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // Qt's note about a missing runtime directory means nothing here.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
            std::fprintf(stderr, "%s\n", qPrintable(message));
            if (type == QtFatalMsg) std::abort();
        });
        static int argc = 1;
        static char name[] = "dramolex-run";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
    }
    return exportAllViews(QString::fromLocal8Bit(dir.c_str()), history).toStdString();
}

} // namespace dramolex::charts
