// The sweep's costs: how two jobs scale against one on many small runs, the
// sweep's own overhead per run against a 1000-round run of 101 agents, and
// the memory of a 100,000-run sweep of tiny runs.
#include <benchmark/benchmark.h>
#include <chrono>
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

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Registered first, so the peak before it is the program's start-up alone.
// A 1,000-run sweep first takes the fixed costs (threads, their allocator
// arenas, a population's buffers); what the 100,000-run sweep adds on top is
// what grows with the number of runs.
void BM_TinySweepMemory(benchmark::State& state)
{
    const auto small = configOf("rounds = 10\nreplications = 1000\nseed = 1\n[parameters]\nagents = 5\n");
    const auto config = configOf("rounds = 10\nreplications = 100000\nseed = 1\n[parameters]\nagents = 5\n");
    const auto model = sweep::sessionModel();
    const long before = maxRssKiB();
    playSweep(small, model, 2);
    const long afterSmall = maxRssKiB();
    for (auto _ : state) playSweep(config, model, 2);
    state.counters["runs"] = static_cast<double>(config.runs());
    state.counters["fixed_MiB"] = static_cast<double>(afterSmall - before) / 1024.0;
    state.counters["growth_MiB"] = static_cast<double>(maxRssKiB() - afterSmall) / 1024.0;
    state.counters["per_run"] = benchmark::Counter(static_cast<double>(config.runs()) * state.iterations(),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TinySweepMemory)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// Many small runs (101 agents, 1000 rounds) on one and on two threads.
void BM_SmallRunsSweep(benchmark::State& state)
{
    const auto config = configOf("rounds = 1000\nreplications = 200\nseed = 1\n[parameters]\nagents = 101\n");
    const auto model = sweep::sessionModel();
    const double cpuBefore = processCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    for (auto _ : state) playSweep(config, model, static_cast<unsigned>(state.range(0)));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    // Cores kept busy: near 2 with two jobs on an idle machine.
    state.counters["cores_used"] = (processCpuSeconds() - cpuBefore) / wall;
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
