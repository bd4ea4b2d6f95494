// The per-round cost of the run session (history, observables and optional
// CSV text) over the bare population turn, on case A of the model benchmark:
// the plain game with the largest population.
#include <benchmark/benchmark.h>
#include <string>

#include "model/population.h"
#include "random/ziggurat.h"
#include "run/run_session.h"

namespace {

constexpr int32_t agents = 16348;
constexpr int warmUpRounds = 50;

dramolex::run::RunConfig caseA()
{
    dramolex::run::RunConfig config;
    config.parameters.numAgents = agents;
    config.parameters.seed = 1;
    config.rounds = 0;
    return config;
}

// The straightforward loop: the population's turn and nothing else.
void BM_BareTurn(benchmark::State& state)
{
    dramolex::model::Population town = dramolex::run::makeTown(caseA().parameters);
    for (int i = 0; i < warmUpRounds; ++i) town.turn();
    for (auto _ : state) benchmark::DoNotOptimize(town.turn().numWinners);
}
BENCHMARK(BM_BareTurn)->Unit(benchmark::kMicrosecond);

// RunSession::step: the turn, the history buffer and every observable.
void BM_SessionStep(benchmark::State& state)
{
    dramolex::run::RunSession session(caseA());
    for (int i = 0; i < warmUpRounds; ++i) session.step();
    for (auto _ : state) benchmark::DoNotOptimize(session.step().numWinners);
    benchmark::DoNotOptimize(session.summary().sigma2_over_n);
}
BENCHMARK(BM_SessionStep)->Unit(benchmark::kMicrosecond);

// The same with every round's CSV row appended to a string (the sweep's and
// Python's use).
void BM_SessionStepWithCsvRows(benchmark::State& state)
{
    dramolex::run::RunSession session(caseA());
    std::string rows;
    rows.reserve(1 << 20);
    session.setCsvText(&rows);
    for (int i = 0; i < warmUpRounds; ++i) session.step();
    for (auto _ : state) {
        if (rows.size() > (1 << 19)) rows.clear();
        benchmark::DoNotOptimize(session.step().numWinners);
    }
}
BENCHMARK(BM_SessionStepWithCsvRows)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
