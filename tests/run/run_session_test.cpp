#include "run/run_session.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "run/round_csv.h"
#include "run/round_log.h"
#include "run/version.h"

namespace {

using dramolex::run::playRun;
using dramolex::run::RunConfig;
using dramolex::run::RunSession;
using dramolex::run::RunSummary;

RunConfig config(int32_t agents, int32_t groupers, int32_t lifespan, int32_t groups, uint32_t seed, int64_t rounds,
                 int64_t burnIn)
{
    RunConfig c;
    c.parameters = {agents, groupers, lifespan, groups, seed, {}};
    c.rounds = rounds;
    c.burnIn = burnIn;
    return c;
}

TEST(PlayRun, OneAgentAlwaysLoses)
{
    // Alone, the agent is always the majority: nobody wins, it loses one unit
    // of capital a round, and A = +-1 so Var(A) = 1 - mean(A)^2.
    const RunSummary s = playRun(config(1, 0, -1, 1, 5, 50, 10));
    EXPECT_EQ(s.rounds_played, 50);
    EXPECT_EQ(s.rounds_measured, 40);
    EXPECT_DOUBLE_EQ(*s.alpha, 8.0);
    EXPECT_DOUBLE_EQ(*s.mean_winners, 0.0);
    EXPECT_DOUBLE_EQ(*s.mean_deaths, 0.0);
    EXPECT_FALSE(s.mean_age) << "no mortality";
    EXPECT_FALSE(s.mean_capital_groupers) << "nobody in a group";
    EXPECT_DOUBLE_EQ(*s.mean_capital_nongroupers, 100.0 - 50);
    const double meanA = 2 * *s.mean_attendance - 1;
    EXPECT_NEAR(*s.sigma2_over_n, 1 - meanA * meanA, 1e-12);
    ASSERT_TRUE(s.frozen_fraction);
    EXPECT_TRUE(*s.frozen_fraction == 0.0 || *s.frozen_fraction == 1.0);
}

TEST(PlayRun, NoMeasuredRoundGivesNulls)
{
    const RunSummary s = playRun(config(11, 0, -1, 1, 5, 20, 20));
    EXPECT_EQ(s.rounds_measured, 0);
    EXPECT_TRUE(s.alpha);
    EXPECT_FALSE(s.sigma2_over_n || s.h_over_n || s.frozen_fraction || s.mean_attendance || s.mean_winners);
    EXPECT_TRUE(s.mean_capital_nongroupers) << "the last round's capitals are still there";
}

std::vector<std::vector<double>> parseCsv(const std::string& rows)
{
    std::vector<std::vector<double>> table;
    std::istringstream in(rows);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<double> fields;
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, ',')) fields.push_back(std::stod(cell));
        table.push_back(fields);
    }
    return table;
}

// sigma2 and h recomputed from the CSV rows, the history index rebuilt from
// the results column (most recent result worth 1, then 2, then 4), equal the
// summary; so do the plain means.
TEST(PlayRun, ObservablesEqualThoseRecomputedFromTheCsv)
{
    const int64_t burnIn = 150;
    const RunConfig c = config(301, 40, 25, 4, 77, 900, burnIn);
    std::string rows;
    const RunSummary s = playRun(c, &rows);
    const auto table = parseCsv(rows);
    ASSERT_EQ(table.size(), 900u);

    const int n = c.parameters.numAgents;
    std::array<int, 3> results{0, 0, 0};  // newest first
    double sumA = 0, sumA2 = 0, winners = 0, deaths = 0, attendance = 0;
    std::map<int, std::pair<double, double>> byMu;  // count, sum of A
    for (const auto& row : table) {
        ASSERT_EQ(row.size(), 8u);
        const auto round = static_cast<int64_t>(row[0]);
        const int mu = results[0] + 2 * results[1] + 4 * results[2];
        if (round >= burnIn) {
            const double a = 2 * row[6] - n;
            sumA += a;
            sumA2 += a * a;
            winners += row[2];
            deaths += row[5];
            attendance += row[6];
            byMu[mu].first += 1;
            byMu[mu].second += a;
        }
        results = {static_cast<int>(row[7]), results[0], results[1]};
    }
    const double m = 900 - burnIn;
    EXPECT_EQ(s.rounds_measured, 750);
    const double sigma2 = (sumA2 / m - (sumA / m) * (sumA / m)) / n;
    double h = 0;
    for (const auto& [mu, entry] : byMu) h += (entry.second / entry.first) * (entry.second / entry.first);
    h = h / 8 / n;
    EXPECT_NEAR(*s.sigma2_over_n, sigma2, 1e-12 * sigma2);
    EXPECT_NEAR(*s.h_over_n, h, 1e-12 * h);
    EXPECT_GT(*s.sigma2_over_n, *s.h_over_n) << "h is the part of the variance the history predicts";
    EXPECT_DOUBLE_EQ(*s.mean_winners, winners / m);
    EXPECT_DOUBLE_EQ(*s.mean_deaths, deaths / m);
    EXPECT_DOUBLE_EQ(*s.mean_attendance, attendance / m);
    ASSERT_TRUE(s.mean_age);
    EXPECT_GT(*s.mean_age, 0);
    EXPECT_LT(*s.mean_age, 100);
    // Life spans end by age 100 and newborns join no group: no grouper is left.
    EXPECT_FALSE(s.mean_capital_groupers);
    EXPECT_TRUE(s.mean_capital_nongroupers);
}

// Every round moves each winner's capital up one and every other agent's down
// one, so with everybody in groups and nobody dying the groupers' mean capital
// is 100 + sum over rounds of (2 winners - N) / N.
TEST(PlayRun, CapitalMeansFollowTheWinners)
{
    const RunConfig c = config(60, 100, -1, 3, 12, 250, 40);
    std::string rows;
    const RunSummary s = playRun(c, &rows);
    double expected = 100;
    for (const auto& row : parseCsv(rows)) expected += (2 * row[2] - 60) / 60;
    ASSERT_TRUE(s.mean_capital_groupers);
    EXPECT_DOUBLE_EQ(*s.mean_capital_groupers, expected);
    EXPECT_FALSE(s.mean_capital_nongroupers) << "nobody outside a group";
}

// The frozen fraction against a direct count: every agent's played strategy
// before each measured round, and every renewal of a slot after one.
TEST(PlayRun, FrozenFractionEqualsADirectCount)
{
    for (const int32_t lifespan : {-1, 12}) {
        const RunConfig c = config(201, 30, lifespan, 2, 4, 80, 65);
        RunSession session(c);
        const auto& town = session.population();
        const int32_t n = town.getNumAgents();
        std::vector<int32_t> first(static_cast<size_t>(n));
        std::vector<bool> switched(static_cast<size_t>(n)), renewed(static_cast<size_t>(n));
        for (int64_t round = 0; round < c.rounds; ++round) {
            for (int32_t slot = 0; round >= c.burnIn && slot < n; ++slot) {
                if (round == c.burnIn) first[slot] = town.playedStrategyOf(slot);
                if (town.playedStrategyOf(slot) != first[slot]) switched[slot] = true;
            }
            session.step();
            for (int32_t slot = 0; round >= c.burnIn && slot < n; ++slot) {
                if (c.parameters.mortality() && town.ageOf(slot) == 0) renewed[slot] = true;
            }
        }
        int alive = 0, frozen = 0;
        for (int32_t slot = 0; slot < n; ++slot) {
            alive += !renewed[slot];
            frozen += !renewed[slot] && !switched[slot];
        }
        ASSERT_GT(alive, 0);
        ASSERT_TRUE(session.summary().frozen_fraction);
        EXPECT_DOUBLE_EQ(*session.summary().frozen_fraction, static_cast<double>(frozen) / alive) << lifespan;
        EXPECT_GT(frozen, 0) << "a window short enough to leave some agents frozen";
        EXPECT_LT(frozen, alive);
        if (c.parameters.mortality()) {
            EXPECT_LT(alive, n) << "some agents died in the window";
        }
    }
}

TEST(RunSession, StepFeedsLogCsvCallbackAndHistory)
{
    RunSession session(config(41, 30, 15, 3, 9, 0, 0));
    std::string log, csv;
    std::vector<int64_t> seen;
    session.setLogText(&log);
    session.setCsvText(&csv);
    session.setRoundCallback([&](int64_t round, const dramolex::model::pass_graph&) { seen.push_back(round); });

    std::string expectedLog, expectedCsv;
    for (int64_t round = 0; round < 1003; ++round) {
        const auto& t = session.step();
        dramolex::run::appendRoundHeader(expectedLog, round);
        dramolex::run::appendRoundBody(expectedLog, round, t);
        dramolex::run::appendCsvRow(expectedCsv, round, t);
        ASSERT_EQ(seen.back(), round);
        ASSERT_EQ(session.roundsPlayed(), round + 1);
    }
    EXPECT_EQ(log, expectedLog) << "every round, in order, 1000 and later with their second header";
    EXPECT_EQ(csv, expectedCsv);
    EXPECT_EQ(session.history().at(dramolex::run::History::winnersStart + 999),
              static_cast<double>(session.population().getReport().numWinners));
}

TEST(RunSession, AFailedWriteIsKeptAndTheOutputDropped)
{
    RunSession session(config(5, 0, -1, 1, 1, 0, 0));
    dramolex::run::OutputFile full;
    if (!full.open("/dev/full")) GTEST_SKIP() << "no /dev/full";
    session.setLogFile(&full);
    session.step();
    EXPECT_EQ(session.logError(), "/dev/full: No space left on device");
    session.step();
    EXPECT_EQ(session.logError(), "/dev/full: No space left on device");
    session.setLogFile(nullptr);
    EXPECT_EQ(session.logError(), "");
}

TEST(SummaryJson, FixedKeyOrderExactDoublesAndNulls)
{
    RunConfig c = config(101, 0, -1, 1, 3, 400, 100);
    const RunSummary s = playRun(c);
    const std::string text = dramolex::run::summaryJson(c, s);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    const nlohmann::ordered_json json = nlohmann::ordered_json::parse(text);

    std::vector<std::string> keys;
    for (const auto& item : json.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"program", "version", "git_commit", "parameters", "seed", "rounds",
                                              "burn_in", "rounds_played", "rounds_measured", "observables"}));
    EXPECT_EQ(json["version"], std::string(dramolex::run::programVersion()));
    EXPECT_EQ(json["parameters"]["agents"], 101);
    EXPECT_EQ(json["parameters"]["lifespan"], "off");
    EXPECT_EQ(json["parameters"]["rule"], "record");
    EXPECT_EQ(json["seed"], 3);
    EXPECT_EQ(json["burn_in"], 100);
    EXPECT_EQ(json["rounds_measured"], 300);

    std::vector<std::string> names;
    dramolex::run::forEachObservable(s, [&](std::string_view name, std::optional<double> value) {
        names.emplace_back(name);
        const auto& written = json["observables"][std::string(name)];
        if (value) {
            EXPECT_EQ(written.get<double>(), *value) << name << ": written exactly";
        } else {
            EXPECT_TRUE(written.is_null()) << name;
        }
    });
    std::vector<std::string> written;
    for (const auto& item : json["observables"].items()) written.push_back(item.key());
    EXPECT_EQ(written, names);
    EXPECT_EQ(names.size(), 10u);
    EXPECT_TRUE(json["observables"]["mean_age"].is_null());
}

} // namespace
