// The sweep's costs: how two jobs scale against one on many small runs, the
// sweep's own overhead per run against a 1000-round run of 101 agents, and
// the memory of a 100,000-run sweep of tiny runs.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

#include "run/run_config.h"
#include "run/run_session.h"
#include "sweep/session_model.h"
#include "sweep/sweep_runner.h"

namespace {

namespace fs = std::filesystem;
using namespace dramolex;

sweep::SweepConfig configOf(const std::string& text)
{
    sweep::ConfigReading reading = sweep::readSweepConfig(text, "bench.toml", sweep::sessionModel());
    if (!reading.errors.empty()) std::fprintf(stderr, "%s\n", reading.errors[0].c_str());
    return reading.config;
}

// Plays a whole sweep into a fresh directory.
void playSweep(const sweep::SweepConfig& config, const sweep::RunModel& model, unsigned jobs)
{
    const fs::path dir = fs::temp_directory_path() / ("dramolex-sweep-bench-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    sweep::SweepOptions options;
    options.outDir = dir.string();
    options.jobs = jobs;
    sweep::StopRequest stop;
    const sweep::SweepResult result = sweep::runSweep(config, model, options, stop, stderr);
    if (result.exitCode != 0) std::fprintf(stderr, "sweep exit %d\n", result.exitCode);
    fs::remove_all(dir);
}

long maxRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Registered first, so the peak before it is the program's start-up alone.
void BM_TinySweepMemory(benchmark::State& state)
{
    const auto config = configOf("rounds = 10\nreplications = 100000\nseed = 1\n[parameters]\nagents = 5\n");
    const auto model = sweep::sessionModel();
    const long before = maxRssKiB();
    for (auto _ : state) playSweep(config, model, 2);
    state.counters["runs"] = static_cast<double>(config.runs());
    state.counters["peak_growth_MiB"] = static_cast<double>(maxRssKiB() - before) / 1024.0;
    state.counters["per_run"] = benchmark::Counter(static_cast<double>(config.runs()) * state.iterations(),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TinySweepMemory)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// Many small runs (101 agents, 1000 rounds) on one and on two threads.
void BM_SmallRunsSweep(benchmark::State& state)
{
    const auto config = configOf("rounds = 1000\nreplications = 200\nseed = 1\n[parameters]\nagents = 101\n");
    const auto model = sweep::sessionModel();
    for (auto _ : state) playSweep(config, model, static_cast<unsigned>(state.range(0)));
    state.counters["runs_per_s"] = benchmark::Counter(static_cast<double>(config.runs()) * state.iterations(),
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SmallRunsSweep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// The reference for the overhead: one 1000-round run of 101 agents, as the
// sweep plays it.
void BM_SingleRun101x1000(benchmark::State& state)
{
    run::RunConfig config;
    run::applySetting(config, "agents", int64_t{101});
    run::applySetting(config, "rounds", int64_t{1000});
    uint32_t seed = 1;
    for (auto _ : state) {
        run::applySetting(config, "seed", int64_t{++seed});
        benchmark::DoNotOptimize(run::playRun(config));
    }
}
BENCHMARK(BM_SingleRun101x1000)->Unit(benchmark::kMicrosecond);

// The sweep's own work per run with runs that cost nothing: settings, seed,
// summary row, write, thread hand-out.
void BM_SweepOverheadPerRun(benchmark::State& state)
{
    auto model = sweep::sessionModel();
    const auto config = configOf("rounds = 1000\nreplications = 20000\nseed = 1\n[parameters]\nagents = 101\nmemory = 3\n");
    model.play = [](const sweep::RunTask&) {
        sweep::RunOutput output;
        output.observables = "0.31683168316831684,14.937172277227722,0.2303517611831046,0,50.58,36.47,0,,,72.21782178217822,1000,1000";
        return output;
    };
    for (auto _ : state) playSweep(config, model, 1);
    state.counters["per_run"] = benchmark::Counter(static_cast<double>(config.runs()) * state.iterations(),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SweepOverheadPerRun)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
