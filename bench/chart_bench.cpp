// The chart step of a pass: render a view with Qt Charts, encode the PNG,
// write it. Compared with Qt's own PNG writer.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <QPixmap>
#include <cstdlib>
#include <memory>
#include <vector>

#include "charts/async_png_writer.h"
#include "charts/chart_views.h"
#include "charts/png_writer.h"
#include "model/town.h"
#include "run/history.h"

namespace {

std::vector<double> playedHistory()
{
    // 1001 agents with herding and mortality, past round 1000: full windows.
    dramolex::model::Town town(1001, 40, 50, 4, 1);
    dramolex::run::History history;
    for (int64_t r = 0; r < 1200; ++r) history.record(r, town.turn());
    const auto values = history.ultimategraph();
    return {values.begin(), values.end()};
}

const std::vector<double>& history()
{
    static const std::vector<double> values = playedHistory();
    return values;
}

void BM_Render(benchmark::State& state)
{
    const auto* view = dramolex::charts::viewFor(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(dramolex::charts::renderView(*view, history()).bits());
    state.SetLabel(view->name);
}
BENCHMARK(BM_Render)->DenseRange(1, 7)->Unit(benchmark::kMillisecond);

void BM_WritePngFast(benchmark::State& state)
{
    QTemporaryDir dir;
    const QImage image = dramolex::charts::renderView(*dramolex::charts::viewFor(2), history());
    const QString path = dir.filePath("winners.png");
    for (auto _ : state) benchmark::DoNotOptimize(dramolex::charts::writePng(image, path).isEmpty());
}
BENCHMARK(BM_WritePngFast)->Unit(benchmark::kMillisecond);

void BM_WritePngQt(benchmark::State& state)
{
    QTemporaryDir dir;
    const QImage image = dramolex::charts::renderView(*dramolex::charts::viewFor(2), history());
    const QString path = dir.filePath("winners.png");
    for (auto _ : state) benchmark::DoNotOptimize(image.save(path, "PNG"));
}
BENCHMARK(BM_WritePngQt)->Unit(benchmark::kMillisecond);

// Everything the window's thread does for a selected series view, showing
// excepted (a pixmap conversion, measured with it).
void BM_WholeChartStep(benchmark::State& state)
{
    QTemporaryDir dir;
    const auto* view = dramolex::charts::viewFor(2);
    const QString path = dir.filePath(view->fileName);
    for (auto _ : state) {
        const QImage image = dramolex::charts::renderView(*view, history());
        benchmark::DoNotOptimize(dramolex::charts::writePng(image, path).isEmpty());
        benchmark::DoNotOptimize(QPixmap::fromImage(image).cacheKey());
    }
}
BENCHMARK(BM_WholeChartStep)->Unit(benchmark::kMillisecond);

// A whole pass of a run at full speed with "Number of Winners" selected, on
// one thread as the worker and the window take turns: play a round of 1001
// agents (herding and mortality), fold it into the history, render the view,
// write its PNG, convert it for display. Argument 0 writes the file in the
// pass; 1 hands it to the background writer (the window's way). Reported as
// rounds per second.
void BM_RoundWithChart(benchmark::State& state)
{
    const bool background = state.range(0) == 1;
    QTemporaryDir dir;
    const auto* view = dramolex::charts::viewFor(2);
    const QString path = dir.filePath(view->fileName);
    dramolex::model::Town town(1001, 40, 50, 4, 1);
    dramolex::run::History history;
    int64_t round = 0;
    for (; round < 1200; ++round) history.record(round, town.turn());
    auto writer = std::make_unique<dramolex::charts::AsyncPngWriter>();
    for (auto _ : state) {
        history.record(round++, town.turn());
        const QImage image = dramolex::charts::renderView(*view, history.ultimategraph());
        if (background) {
            writer->write(image, path);
        } else {
            benchmark::DoNotOptimize(dramolex::charts::writePng(image, path).isEmpty());
        }
        benchmark::DoNotOptimize(QPixmap::fromImage(image).cacheKey());
    }
    writer->flush();
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(background ? "background writer" : "write in the pass");
    if (background) {
        state.counters["files_written"] = static_cast<double>(writer->written());
        state.counters["images_skipped"] = static_cast<double>(writer->replaced());
    }
}
BENCHMARK(BM_RoundWithChart)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
