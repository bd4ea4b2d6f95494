// Costs of the model and the log on the largest population (16348 agents).
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

#include "model/fast_town.h"
#include "model/town.h"
#include "random/glibc_random.h"
#include "random/ziggurat.h"
#include "run/round_log.h"

namespace {

using dramolex::model::FastTown;
using dramolex::model::ModelOptions;
using dramolex::model::Town;
constexpr int agents = 16348;
constexpr double strategyUpdatesPerRound = agents * 10.0;

template <class Population>
void playRounds(benchmark::State& state, Population& town, int strategies = 10)
{
    for (auto _ : state) benchmark::DoNotOptimize(town.turn().numWinners);
    state.counters["ns/strategy update"] = benchmark::Counter(static_cast<double>(agents) * strategies * 1e-9,
                                                              benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
}

// (A) the plain game.
template <class Population>
void BM_PlainGame(benchmark::State& state)
{
    dramolex::random::Ziggurat normal;
    Population town(agents, 0, -1, 1, 1, normal);
    for (int i = 0; i < 50; ++i) town.turn();
    playRounds(state, town);
}
BENCHMARK(BM_PlainGame<Town>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainGame<FastTown>)->Unit(benchmark::kMicrosecond);

// (B) everybody grouped into 10 groups, mortality at 50.
template <class Population>
void BM_HerdingAndMortality(benchmark::State& state)
{
    dramolex::random::Ziggurat normal;
    Population town(agents, 100, 50, 10, 1, normal);
    for (int i = 0; i < 50; ++i) town.turn();
    playRounds(state, town);
}
BENCHMARK(BM_HerdingAndMortality<Town>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HerdingAndMortality<FastTown>)->Unit(benchmark::kMicrosecond);

// (C) life span 1: most agents are reborn every round.
template <class Population>
void BM_NewbornAgents(benchmark::State& state)
{
    dramolex::random::Ziggurat normal;
    Population town(agents, 0, 1, 1, 1, normal);
    int64_t newborns = 0;
    for (auto _ : state) newborns += town.turn().numDeaths;
    state.counters["ns/newborn"] =
        benchmark::Counter(static_cast<double>(newborns) * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_NewbornAgents<Town>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NewbornAgents<FastTown>)->Unit(benchmark::kMicrosecond);

// (D) the standard minority game: two strategies, the best current score
// played, no replacement; memory 8 and 10.
template <class Population, int memory>
void BM_StandardGame(benchmark::State& state)
{
    ModelOptions options;
    options.memory = memory;
    options.strategies = 2;
    options.rule = dramolex::model::Rule::best;
    options.replacement = false;
    Population town(agents, 0, -1, 1, 1, options);
    for (int i = 0; i < 50; ++i) town.turn();
    playRounds(state, town, options.strategies);
}
BENCHMARK_TEMPLATE(BM_StandardGame, Town, 8)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_StandardGame, FastTown, 8)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_StandardGame, Town, 10)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_StandardGame, FastTown, 10)->Unit(benchmark::kMicrosecond);

// A straightforward implementation for comparison: strategy objects with
// eight int sides each and the C library's locked rand().
struct NaiveStrategy {
    int decisions[8];
    int score = 100;
};
struct NaiveAgent {
    NaiveStrategy s[10];
    int decision = 0, capital = 100, best = 100, bestIndex = 0, avg = 0;
};
void BM_NaiveStrategyObjects(benchmark::State& state)
{
    std::srand(1);
    std::vector<NaiveAgent> population(agents);
    for (auto& a : population)
        for (auto& s : a.s)
            for (int& d : s.decisions) d = std::rand() % 2;
    int sti = 0;
    for (auto _ : state) {
        int ones = 0;
        for (auto& a : population) {
            a.decision = a.s[a.bestIndex].decisions[sti];
            ones += a.decision;
        }
        const int result = ones > agents / 2 ? 0 : 1;
        for (auto& a : population) {
            a.capital += a.decision == result ? 1 : -1;
            int sum = 0;
            for (int i = 0; i < 10; ++i) {
                NaiveStrategy& s = a.s[i];
                s.score += s.decisions[sti] == result ? 1 : -1;
                if (s.score < 0) {
                    for (int& d : s.decisions) d = std::rand() % 2;
                    s.score = 100;
                }
                sum += s.score;
                if (s.score > a.best) {
                    a.best = s.score;
                    a.bestIndex = i;
                }
            }
            a.avg = sum / 10;
        }
        sti = ((sti << 1) | result) & 7;
        benchmark::DoNotOptimize(ones);
    }
    state.counters["ns/strategy update"] = benchmark::Counter(
        strategyUpdatesPerRound * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_NaiveStrategyObjects)->Unit(benchmark::kMicrosecond);

void BM_RandDraws(benchmark::State& state)
{
    dramolex::random::GlibcRandom ours(1);
    for (auto _ : state) benchmark::DoNotOptimize(ours.rand());
}
BENCHMARK(BM_RandDraws);

void BM_LibcRandDraws(benchmark::State& state)
{
    std::srand(1);
    for (auto _ : state) benchmark::DoNotOptimize(std::rand());
}
BENCHMARK(BM_LibcRandDraws);

// Formatting one round block of the log (past round 1000, with ages).
void BM_LogBlock(benchmark::State& state)
{
    dramolex::random::Ziggurat normal;
    Town town(agents, 30, 50, 4, 1, normal);
    const auto& report = town.turn();
    std::string text;
    text.reserve(2048);
    int64_t round = 1000;
    for (auto _ : state) {
        text.clear();
        dramolex::run::appendRoundHeader(text, round);
        dramolex::run::appendRoundBody(text, round, report);
        benchmark::DoNotOptimize(text.data());
        ++round;
    }
}
BENCHMARK(BM_LogBlock);

} // namespace

BENCHMARK_MAIN();
